#include "UI/Settings/HotkeyRecorderControlButton.h"

#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"

#include <QPainter>

namespace {

constexpr qreal disabledOpacity = 0.4;
constexpr qreal focusCornerRadius = 4;

} // namespace

HotkeyRecorderControlButton::HotkeyRecorderControlButton(const QString& symbolName, QWidget* parent)
    : QAbstractButton(parent)
    , symbolName_(symbolName)
{
    setFixedSize(frameWidth, frameHeight);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_TransparentForMouseEvents, concealed_);
}

void HotkeyRecorderControlButton::setConcealed(bool concealed)
{
    if (concealed == concealed_)
        return;
    concealed_ = concealed;
    setAttribute(Qt::WA_TransparentForMouseEvents, concealed);
    update();
}

QSize HotkeyRecorderControlButton::sizeHint() const
{
    return {frameWidth, frameHeight};
}

void HotkeyRecorderControlButton::paintEvent(QPaintEvent*)
{
    if (concealed_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(disabledOpacity);
    if (hasFocus() || isDown())
        painter.fillPath(continuousRoundedRect(QRectF(rect()), focusCornerRadius), QColor(Theme::pillBG()));
    const QPixmap glyph =
        Symbols::pixmap(symbolName_, Theme::chromeTextSecondary(), symbolPixelSize, devicePixelRatioF());
    const QPointF origin((width() - symbolPixelSize) / 2.0, (height() - symbolPixelSize) / 2.0);
    painter.drawPixmap(origin, glyph);
}

void HotkeyRecorderControlButton::focusInEvent(QFocusEvent* event)
{
    QAbstractButton::focusInEvent(event);
    emit focusChanged();
}

void HotkeyRecorderControlButton::focusOutEvent(QFocusEvent* event)
{
    QAbstractButton::focusOutEvent(event);
    emit focusChanged();
}
