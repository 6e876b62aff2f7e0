#include "UI/Settings/HotkeyRecorderButton.h"

#include "UI/ContinuousCorners.h"
#include "UI/Theme.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

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
    setFixedHeight(capsuleHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
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
    const int available = textArea().width();
    for (qreal scale = 1.0; scale > minimumTextScale; scale -= fontScaleStep) {
        const QFont font = fontOfSize(this->font(), textPixelSize * scale);
        if (QFontMetrics(font).horizontalAdvance(text()) <= available)
            return font;
    }
    return fontOfSize(this->font(), textPixelSize * minimumTextScale);
}

// A text that would not fit even at the smallest size (a long prompt in a wide script) widens
// the capsule instead of being cut.
QSize HotkeyRecorderButton::sizeHint() const
{
    const QFont smallest = fontOfSize(font(), textPixelSize * minimumTextScale);
    const int needed =
        leadingTextPadding + QFontMetrics(smallest).horizontalAdvance(text()) + trailingTextPadding;
    return {std::max(capsuleWidth, needed), capsuleHeight};
}

QRect HotkeyRecorderButton::textArea() const
{
    return rect().adjusted(leadingTextPadding, 0, -trailingTextPadding, 0);
}

QRect HotkeyRecorderButton::textBounds() const
{
    const QRect area = textArea();
    // Rounded up: eliding measures with fractional advances, and a width cut to whole pixels
    // would elide a text that fits.
    const int needed = int(std::ceil(QFontMetricsF(textFont()).horizontalAdvance(text()))) + 1;
    const int width = std::min(needed, area.width());
    QRect bounds(0, 0, width, area.height());
    bounds.moveCenter(rect().center());
    if (bounds.right() > area.right())
        bounds.moveCenter(area.center());
    return bounds;
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
    const QRect area = textBounds();
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
