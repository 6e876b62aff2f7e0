#include "BrowserLinks/BrowserReadQueue.h"

#include <QThread>
#include <condition_variable>
#include <deque>
#include <mutex>

struct BrowserReadQueue::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> items;
    bool stopping = false;
};

// Runs on the queue's thread until the queue is destroyed. Holds the state by shared
// ownership, so that the queue's owner never waits for a running item.
void BrowserReadQueue::drain(const std::shared_ptr<State>& state)
{
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock lock(state->mutex);
            state->wake.wait(lock, [&] { return state->stopping || !state->items.empty(); });
            if (state->stopping)
                return;
            work = std::move(state->items.front());
            state->items.pop_front();
        }
        work();
    }
}

BrowserReadQueue::BrowserReadQueue(const QString& name)
    : name_(name)
    , state_(std::make_shared<State>())
{
    QThread* thread = QThread::create(drain, state_);
    thread->setObjectName(name_);
    // The thread object is deleted on its owner's thread once the thread has ended.
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

BrowserReadQueue::~BrowserReadQueue()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        dropped.swap(state_->items);
    }
    state_->wake.notify_all();
}

void BrowserReadQueue::submit(std::function<void()> work)
{
    {
        std::lock_guard lock(state_->mutex);
        state_->items.push_back(std::move(work));
    }
    state_->wake.notify_one();
}

void BrowserReadQueue::cancelAll()
{
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(state_->mutex);
        dropped.swap(state_->items);
    }
}
