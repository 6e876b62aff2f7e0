#include "UI/VelloraBrand.h"

#include "Platform/Bundle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
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

// Draws the mark at the size asked for, when it is asked for: the status item needs one size,
// and drawing them all would hold up the start.
class MarkIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        paintMark(*painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        const QString key = QStringLiteral("VelloraBrand.mark.%1").arg(side);
        QPixmap drawn;
        if (!QPixmapCache::find(key, &drawn)) {
            drawn = markPixmap(side);
            QPixmapCache::insert(key, drawn);
        }
        return drawn;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int size : iconSizes)
            sizes.append(QSize(size, size));
        return sizes;
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new MarkIconEngine; }
};

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
    return QIcon(new MarkIconEngine);
}

} // namespace VelloraBrand
