#include "UI/Bar/ClipThumbnailCache.h"

#include <QFutureWatcher>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr int maxReaders = 2;

QString keyFor(const QString& path, const QSize& size)
{
    return path + u'@' + QString::number(size.width()) + u'x' + QString::number(size.height());
}

QImage readThumbnail(const QString& path, const QSize& size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid())
        reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio).boundedTo(full));
    return reader.read();
}

} // namespace

ClipThumbnailCache::ClipThumbnailCache(QObject* parent)
    : QObject(parent)
    , images_(maxCachedBytes)
{
    pool_.setMaxThreadCount(maxReaders);
}

ClipThumbnailCache::~ClipThumbnailCache()
{
    waitForLoads();
}

ClipThumbnailCache::State ClipThumbnailCache::request(const QString& path, const QSize& size,
                                                      QImage* thumbnail)
{
    const QString key = keyFor(path, size);
    if (const QImage* image = images_.object(key)) {
        *thumbnail = *image;
        return State::ready;
    }
    if (path.isEmpty() || failed_.contains(key))
        return State::failed;
    if (pending_.contains(key))
        return State::loading;
    pending_.insert(key, true);
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, key] {
        finish(key, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(&pool_, readThumbnail, path, size));
    return State::loading;
}

void ClipThumbnailCache::waitForLoads()
{
    pool_.waitForDone();
}

void ClipThumbnailCache::finish(const QString& key, const QImage& image)
{
    pending_.remove(key);
    if (image.isNull())
        failed_.insert(key, true);
    else
        images_.insert(key, new QImage(image), qMax<qsizetype>(1, image.sizeInBytes()));
    emit thumbnailReady(key.section(u'@', 0, -2));
}
