#pragma once

#include "BrowserLinks/BrowserShelfModel.h"

#include <QHash>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// A reader whose answers and timing the test decides: each read takes the next answer queued
// for its browser (no pages when none is queued) and, while blocking, waits until the test
// releases it. Records which browsers were read, in order, and on which thread.
class ControlledReads {
public:
    ~ControlledReads() { stopBlocking(); }

    BrowserShelfModel::Reader reader() const
    {
        return [state = state_](LinkBrowser browser) { return state->read(browser); };
    }

    void answer(LinkBrowser browser, const QList<BrowserPage>& tabs)
    {
        std::lock_guard lock(state_->mutex);
        state_->answers[browser].append(BrowserPageResult{browser, tabs, {}, {}, 0});
    }
    void answer(const BrowserPageResult& result)
    {
        std::lock_guard lock(state_->mutex);
        state_->answers[result.browser].append(result);
    }

    void block()
    {
        std::lock_guard lock(state_->mutex);
        state_->blocking = true;
    }
    // Lets the next blocked or future read finish.
    void releaseOne()
    {
        std::lock_guard lock(state_->mutex);
        ++state_->released;
        state_->changed.notify_all();
    }
    void stopBlocking()
    {
        std::lock_guard lock(state_->mutex);
        state_->blocking = false;
        state_->changed.notify_all();
    }

    // Waits until at least count reads have started.
    bool waitUntilStarted(qsizetype count)
    {
        std::unique_lock lock(state_->mutex);
        return state_->changed.wait_for(lock, waitLimit, [&] { return state_->started.size() >= count; });
    }
    QList<LinkBrowser> started() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->started;
    }
    // The thread of the latest read; alive at least while a read blocks.
    QThread* thread() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->thread;
    }

private:
    static constexpr std::chrono::seconds waitLimit{10};

    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool blocking = false;
        qsizetype released = 0;
        QList<LinkBrowser> started;
        QHash<LinkBrowser, QList<BrowserPageResult>> answers;
        QThread* thread = nullptr;

        BrowserPageResult read(LinkBrowser browser)
        {
            std::unique_lock lock(mutex);
            const qsizetype index = started.size();
            started.append(browser);
            thread = QThread::currentThread();
            changed.notify_all();
            changed.wait(lock, [&] { return !blocking || index < released; });
            QList<BrowserPageResult>& queued = answers[browser];
            return queued.isEmpty() ? BrowserPageResult{browser, {}, {}, {}, 0} : queued.takeFirst();
        }
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};
