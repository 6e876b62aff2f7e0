#include "UI/AI/ConversationModelMenuButton.h"

#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"

#include <QCursor>
#include <QEvent>
#include <QPainter>

namespace {

constexpr int sideInset = 4;
constexpr int verticalInset = 3;
constexpr int chevronGap = 4;
constexpr int chevronSize = 8;
constexpr qreal hoverCornerRadius = 5;
constexpr qreal disabledOpacity = 0.5;

} // namespace

ConversationModelMenuButton::ConversationModelMenuButton(QWidget* parent)
    : QToolButton(parent)
{
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
}

QSize ConversationModelMenuButton::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.size(Qt::TextShowMnemonic | Qt::TextSingleLine, text()).width();
    return {sideInset + textWidth + chevronGap + chevronSize + sideInset,
            std::max(metrics.height(), chevronSize) + 2 * verticalInset};
}

QSize ConversationModelMenuButton::minimumSizeHint() const
{
    return sizeHint();
}

QRect ConversationModelMenuButton::textRect() const
{
    return {sideInset, 0, fontMetrics().size(Qt::TextShowMnemonic | Qt::TextSingleLine, text()).width(),
            height()};
}

QRect ConversationModelMenuButton::chevronRect() const
{
    return {textRect().right() + 1 + chevronGap, (height() - chevronSize) / 2, chevronSize, chevronSize};
}

void ConversationModelMenuButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    if (isEnabled() && (isDown() || isHovered()))
        painter.fillPath(continuousRoundedRect(QRectF(rect()), hoverCornerRadius), QColor(Theme::pillBG()));
    if (!isEnabled())
        painter.setOpacity(disabledOpacity);
    const QColor color = palette().color(QPalette::ButtonText);
    painter.setPen(color);
    painter.setFont(font());
    painter.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     text());
    painter.drawPixmap(chevronRect(), Symbols::pixmap(QStringLiteral("chevron.down"), color, chevronSize,
                                                      devicePixelRatioF()));
}

bool ConversationModelMenuButton::isHovered() const
{
    // The menu takes the pointer while it is open, so no leave reaches the button when the
    // pointer ends elsewhere: only the pointer itself says whether it is still here.
    return underMouse() && rect().contains(mapFromGlobal(QCursor::pos()));
}

void ConversationModelMenuButton::changeEvent(QEvent* event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateGeometry();
}
