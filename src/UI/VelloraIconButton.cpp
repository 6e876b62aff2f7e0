#include "UI/VelloraIconButton.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QPainter>

VelloraIconButton::VelloraIconButton(const QString& symbolName, const VelloraIconButtonStyle& style,
                                     QWidget* parent)
    : QToolButton(parent)
    , symbolName_(symbolName)
    , style_(style)
{
    setPopupMode(QToolButton::InstantPopup);
    setFixedSize(style_.size, style_.size);
}

void VelloraIconButton::setSymbolName(const QString& name)
{
    if (name == symbolName_)
        return;
    symbolName_ = name;
    update();
}

void VelloraIconButton::setButtonStyle(const VelloraIconButtonStyle& style)
{
    if (style == style_)
        return;
    style_ = style;
    setFixedSize(style_.size, style_.size);
    update();
}

QSize VelloraIconButton::sizeHint() const
{
    return {style_.size, style_.size};
}

QSize VelloraIconButton::minimumSizeHint() const
{
    return sizeHint();
}

void VelloraIconButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    VelloraIconButtonStyle::State state;
    state.hovered = hovered_;
    state.pressed = isDown();
    state.enabled = isEnabled();
    state.keyboardFocus = keyboardFocus_ && hasFocus();
    style_.paint(painter, QRectF(rect()), state, symbolName_, text());
}

void VelloraIconButton::enterEvent(QEnterEvent* event)
{
    setHovered(true);
    QToolButton::enterEvent(event);
}

void VelloraIconButton::leaveEvent(QEvent* event)
{
    setHovered(false);
    QToolButton::leaveEvent(event);
}

void VelloraIconButton::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    keyboardFocus_ = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    QToolButton::focusInEvent(event);
}

void VelloraIconButton::focusOutEvent(QFocusEvent* event)
{
    keyboardFocus_ = false;
    QToolButton::focusOutEvent(event);
}

void VelloraIconButton::setHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    update();
}
