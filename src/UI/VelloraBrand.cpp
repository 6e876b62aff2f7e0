#include "UI/VelloraBrand.h"

#include "Platform/Bundle.h"

#include <QPainter>
#include <QSvgRenderer>

namespace VelloraBrand {

namespace {

constexpr int iconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int maximumSize = 4096;

QSvgRenderer& renderer()
{
    static QSvgRenderer instance(markResourcePath());
    return instance;
}

} // namespace

QString markResourcePath()
{
    return Platform::mainBundle().resourceRoot() + QStringLiteral("/icons/vellora.svg");
}

void paintMark(QPainter& painter, const QRectF& rect)
{
    const qreal side = std::min(rect.width(), rect.height());
    if (side <= 0)
        return;
    const QRectF square(rect.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    renderer().render(&painter, square);
    painter.restore();
}

QPixmap markPixmap(int size, qreal devicePixelRatio)
{
    if (size <= 0 || size > maximumSize || devicePixelRatio <= 0)
        return {};
    const int pixels = qRound(size * devicePixelRatio);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintMark(painter, QRectF(0, 0, pixels, pixels));
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon markIcon()
{
    QIcon icon;
    for (int size : iconSizes)
        icon.addPixmap(markPixmap(size));
    return icon;
}

} // namespace VelloraBrand
