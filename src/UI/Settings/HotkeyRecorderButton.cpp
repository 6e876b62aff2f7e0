#include "UI/Settings/HotkeyRecorderButton.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr qreal recordingTintOpacity = 0.12;
constexpr qreal idleBorderOpacity = 0.30;
constexpr qreal accentBorderWidth = 2;
constexpr qreal idleBorderWidth = 1;
constexpr qreal fontScaleStep = 0.05;

QFont fontOfSize(const QFont& base, qreal pixelSize)
{
    QFont font = base;
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

HotkeyRecorderButton::HotkeyRecorderButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFixedSize(capsuleWidth, capsuleHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void HotkeyRecorderButton::setRecording(bool recording)
{
    if (recording == recording_)
        return;
    recording_ = recording;
    update();
}

void HotkeyRecorderButton::setHighlighted(bool highlighted)
{
    if (highlighted == highlighted_)
        return;
    highlighted_ = highlighted;
    update();
}

void HotkeyRecorderButton::setPlaceholder(bool placeholder)
{
    if (placeholder == placeholder_)
        return;
    placeholder_ = placeholder;
    update();
}

QFont HotkeyRecorderButton::textFont() const
{
    const int available = textRect().width();
    for (qreal scale = 1.0; scale > minimumTextScale; scale -= fontScaleStep) {
        const QFont font = fontOfSize(this->font(), textPixelSize * scale);
        if (QFontMetrics(font).horizontalAdvance(text()) <= available)
            return font;
    }
    return fontOfSize(this->font(), textPixelSize * minimumTextScale);
}

QSize HotkeyRecorderButton::sizeHint() const
{
    return {capsuleWidth, capsuleHeight};
}

QRect HotkeyRecorderButton::textRect() const
{
    return rect().adjusted(textPadding, 0, -textPadding, 0);
}

void HotkeyRecorderButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor accent = Theme::selection();
    QColor fill = Theme::cardBody();
    if (recording_) {
        fill = accent;
        fill.setAlphaF(recordingTintOpacity);
    }
    const QRectF bounds = QRectF(rect());
    painter.fillPath(continuousRoundedRect(bounds, cornerRadius), fill);

    const bool accentBorder = recording_ || highlighted_;
    const qreal borderWidth = accentBorder ? accentBorderWidth : idleBorderWidth;
    QColor border = accentBorder ? accent : QColor(Theme::chromeTextSecondary());
    if (!accentBorder)
        border.setAlphaF(idleBorderOpacity);
    const qreal inset = borderWidth / 2;
    painter.setPen(QPen(border, borderWidth));
    painter.drawPath(
        continuousRoundedRect(bounds.adjusted(inset, inset, -inset, -inset), cornerRadius - inset));

    const QFont font = textFont();
    painter.setFont(font);
    painter.setPen(QColor(placeholder_ ? Theme::chromeTextSecondary() : Theme::chromeTextPrimary()));
    const QRect area = textRect();
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine,
                     QFontMetrics(font).elidedText(text(), Qt::ElideRight, area.width()));
}

void HotkeyRecorderButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    emit hoveredChanged(true);
}

void HotkeyRecorderButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    emit hoveredChanged(false);
}

void HotkeyRecorderButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    emit focusChanged();
}

void HotkeyRecorderButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    emit focusChanged();
}
