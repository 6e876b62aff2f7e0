#include "UI/CopyToastView.h"

#include "Platform/WindowCompositing.h"
#include "UI/ContinuousCorners.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int horizontalPadding = 16;
constexpr int verticalPadding = 11;
constexpr int symbolSize = 16;
constexpr int symbolSpacing = 8;
constexpr int maximumTextWidth = 380;
constexpr qreal cornerRadius = 12.0;
constexpr qreal borderWidth = 1.0;
constexpr int textFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

} // namespace

CopyToastView::CopyToastView()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void CopyToastView::setContent(const QString& message, const QString& symbolName)
{
    message_ = message;
    symbolName_ = Symbols::exists(symbolName) ? symbolName : QString();
    setAccessibleName(message);
    resize(sizeHint());
    fitShape();
    update();
}

QPainterPath CopyToastView::cardShape() const
{
    const qreal inset = borderWidth / 2;
    return continuousRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius);
}

void CopyToastView::fitShape()
{
    // Without a compositor the transparent corners would show black: the window takes the
    // card's shape and paints every pixel it keeps.
    opaque_ = !Platform::composesTranslucentWindows();
    if (opaque_)
        setMask(QRegion(continuousRoundedRect(QRectF(rect()), cornerRadius).toFillPolygon().toPolygon()));
    else
        clearMask();
}

QSize CopyToastView::sizeHint() const
{
    const QRect text = QFontMetrics(VelloraTypography::control())
                           .boundingRect(QRect(0, 0, maximumTextWidth, 0), textFlags, message_);
    const int symbolWidth = symbolName_.isEmpty() ? 0 : symbolSize + symbolSpacing;
    const int contentHeight = std::max(text.height(), symbolName_.isEmpty() ? 0 : symbolSize);
    return {horizontalPadding * 2 + symbolWidth + text.width(), verticalPadding * 2 + contentHeight};
}

QRect CopyToastView::textRect() const
{
    const int symbolWidth = symbolName_.isEmpty() ? 0 : symbolSize + symbolSpacing;
    return rect().adjusted(horizontalPadding + symbolWidth, verticalPadding, -horizontalPadding,
                           -verticalPadding);
}

void CopyToastView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (opaque_)
        painter.fillRect(rect(), Theme::cardBody().color());
    const QPainterPath card = cardShape();
    painter.fillPath(card, Theme::cardBody().color());
    painter.strokePath(card, QPen(Theme::cardBorder().color(), borderWidth));

    if (!symbolName_.isEmpty()) {
        const QPixmap glyph = Symbols::pixmap(symbolName_, Theme::chromeTextSecondary().color(), symbolSize,
                                              devicePixelRatioF());
        const QRectF target(horizontalPadding, (height() - symbolSize) / 2.0, symbolSize, symbolSize);
        painter.drawPixmap(target, glyph, QRectF(glyph.rect()));
    }
    painter.setFont(VelloraTypography::control());
    painter.setPen(Theme::chromeTextPrimary().color());
    painter.drawText(textRect(), textFlags, message_);
}
