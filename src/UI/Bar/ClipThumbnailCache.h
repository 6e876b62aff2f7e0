#pragma once

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

// Image thumbnails for the cards, read and scaled on the thread pool and kept in memory up
// to a budget. An image file that is missing or unreadable is remembered as such and drawn
// as a placeholder.
class ClipThumbnailCache final : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maxCachedBytes = 64 * 1024 * 1024;

    enum class State { loading, ready, failed };

    explicit ClipThumbnailCache(QObject* parent = nullptr);
    ~ClipThumbnailCache() override;

    // The thumbnail of the file fitted into `size` when it is ready; a first request starts
    // reading it and answers `loading`.
    State request(const QString& path, const QSize& size, QImage* thumbnail);

    // Waits for the reads in flight (tests and shutdown).
    void waitForLoads();

signals:
    void thumbnailReady(const QString& path);

private:
    void finish(const QString& key, const QImage& image);

    QCache<QString, QImage> images_;
    QHash<QString, bool> pending_;
    QHash<QString, bool> failed_;
    QThreadPool pool_;
};
