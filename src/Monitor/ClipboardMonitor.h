#pragma once

#include "Models/ClipItem.h"
#include "Platform/Workspace.h"

#include <QFuture>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <optional>

class ClipboardStore;
class Settings;

namespace Platform {
class Pasteboard;
}

// Turns each copy made in another application into a clip in the store. While running, each
// copy is taken as soon as the pasteboard has read it. Only where the pasteboard can't tell of
// copies, a repeating timer compares its change count instead, so an idle tick does nothing
// else; elsewhere nothing runs while nothing is copied. What is on the clipboard when the
// monitor is created is not captured.
//
// Limits: image data over ClipboardStore::maxImageBytes, or an image of more than
// maxImagePixels pixels, is not captured; texts over ClipboardStore::maxTextLength are cut by
// the store and rich-text data over ClipboardStore::maxRichTextBytes is left out by it.
// Images are checked, converted to PNG and hashed on the thread pool, and clips reach the
// store in the order they were copied.
class ClipboardMonitor final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds tickInterval{400};
    // An 8000 × 8000 image has 64 million pixels.
    static constexpr qint64 maxImagePixels = 100'000'000;

    ClipboardMonitor(Platform::Pasteboard& pasteboard, ClipboardStore& store, Settings& settings,
                     QObject* parent = nullptr);

    void start();
    void stop();
    bool isRunning() const { return running_; }

    // While paused, copies are passed over for good, not captured later.
    bool isPaused() const { return paused_; }
    void setPaused(bool paused);

    // The change that produced this count is our own write and is not captured.
    void ignoreChangeCount(qint64 changeCount);

    // One tick: captures the clipboard when its change count moved since the last tick.
    void checkForChanges();

signals:
    // A clip handed to the store.
    void captured(const ClipItem& item);

private:
    struct PreparedImage {
        QByteArray png;
        QString hash;
    };
    struct PendingCapture {
        ClipItem item;
        std::optional<QFuture<std::optional<PreparedImage>>> image;
    };

    bool isExcluded(const QStringList& types, const std::optional<Platform::RunningApplication>& owner) const;
    void capture(const QStringList& types, const std::optional<Platform::RunningApplication>& owner);
    // Images are checked, converted and hashed on the thread pool; later copies wait for them.
    void queueImage(PendingCapture capture, const QStringList& types);
    bool takeFiles(ClipItem& item, const QStringList& types) const;
    std::optional<QFuture<std::optional<PreparedImage>>> startImage(const QStringList& types) const;
    bool takeRichText(ClipItem& item, const QStringList& types) const;
    bool takeText(ClipItem& item) const;
    bool takeColor(ClipItem& item, const QStringList& types) const;
    void deliverReady();
    void deliver(PendingCapture capture);

    static std::optional<PreparedImage> prepareImage(const QByteArray& bytes);

    Platform::Pasteboard& pasteboard_;
    ClipboardStore& store_;
    Settings& settings_;
    QTimer timer_;
    bool running_ = false;
    qint64 lastChangeCount_;
    std::optional<qint64> ignoredChangeCount_;
    bool paused_ = false;
    QList<PendingCapture> pending_;
};
