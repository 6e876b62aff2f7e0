#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

// When the store saves, and what a save covers: due() comes a delay after the last change, and
// at most the longest delay after the first unsaved one. Each change moves a count; a written
// save of the count it started with leaves nothing unsaved. A failure is told once until a
// save is written again. The longest delay is counted on the store's clock.
class StoreSaveSchedule final : public QObject {
    Q_OBJECT
public:
    StoreSaveSchedule(std::chrono::milliseconds delay, std::chrono::milliseconds longestDelay,
                      std::function<QDateTime()> now, QObject* parent = nullptr);

    void markUnsaved();
    // Marks a change and starts the timer.
    void schedule();
    void cancel() { timer_.stop(); }
    bool hasUnsavedChanges() const { return changeCount_ != savedChangeCount_; }
    // A save of every change so far begins: the count it covers.
    quint64 beginSave();
    void noteWritten(quint64 changeCount);
    // True when this failure is the first since a save was written.
    bool noteFailed() { return !std::exchange(failing_, true); }

signals:
    void due();

private:
    std::chrono::milliseconds delay_;
    std::chrono::milliseconds longestDelay_;
    quint64 changeCount_ = 0;
    quint64 savedChangeCount_ = 0;
    std::function<QDateTime()> now_;
    std::optional<QDateTime> firstUnsavedChange_;
    bool failing_ = false;
    QTimer timer_;
};
