#include "UI/Symbols.h"

#include "Platform/Bundle.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>

namespace Symbols {

namespace {

constexpr qreal doubleDensity = 2.0;
constexpr int maximumSize = 1024;

// Rendered glyphs, owned by the application so that they go before the display does.
class PixmapCache final : public QObject {
public:
    using QObject::QObject;
    QHash<QString, QPixmap> pixmaps;
};

QHash<QString, QPixmap>& cache()
{
    static QPointer<PixmapCache> instance;
    if (!instance)
        instance = new PixmapCache(QCoreApplication::instance());
    return instance->pixmaps;
}

QString cacheKey(const QString& name, const QColor& color, int size, qreal ratio)
{
    return QStringLiteral("%1|%2|%3|%4").arg(name).arg(color.rgba(), 8, 16).arg(size).arg(ratio);
}

QPixmap render(const QString& name, const QColor& color, int size, qreal ratio)
{
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};
    const int pixels = qRound(size * ratio);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, pixels, pixels));
    // The glyph is black; keep its coverage and paint the colour through it.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

QString resourcePath(const QString& name)
{
    return Platform::mainBundle().resourceRoot() + QStringLiteral("/symbols/") + name +
           QStringLiteral(".svg");
}

bool exists(const QString& name)
{
    return !name.isEmpty() && !name.contains(u'/') && QFile::exists(resourcePath(name));
}

QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio)
{
    if (size <= 0 || size > maximumSize || devicePixelRatio <= 0)
        return {};
    QHash<QString, QPixmap>& pixmaps = cache();
    const QString key = cacheKey(name, color, size, devicePixelRatio);
    // Painting asks again and again: the cache answers before any look at the resources.
    if (const auto found = pixmaps.constFind(key); found != pixmaps.constEnd())
        return *found;
    if (!exists(name))
        return {};
    const QPixmap result = render(name, color, size, devicePixelRatio);
    pixmaps.insert(key, result);
    return result;
}

QIcon icon(const QString& name, const QColor& color, int size)
{
    QIcon result;
    for (qreal ratio : {1.0, doubleDensity}) {
        const QPixmap p = pixmap(name, color, size, ratio);
        if (!p.isNull())
            result.addPixmap(p);
    }
    return result;
}

} // namespace Symbols
