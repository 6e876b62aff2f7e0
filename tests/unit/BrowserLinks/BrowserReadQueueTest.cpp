#include "BrowserLinks/BrowserReadQueue.h"

#include <QThread>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

constexpr std::chrono::seconds waitLimit{10};

// A log of what ran, with a gate that holds the first item until opened.
struct Log {
    std::mutex mutex;
    std::condition_variable changed;
    QStringList ran;
    bool gateOpen = false;
    bool firstStarted = false;
    bool firstFinished = false;
    bool queueDestroyed = false;

    void openGate()
    {
        std::lock_guard lock(mutex);
        gateOpen = true;
        changed.notify_all();
    }
    bool waitFor(const std::function<bool()>& condition)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, waitLimit, condition);
    }
};

std::function<void()> gatedItem(const std::shared_ptr<Log>& log)
{
    return [log] {
        std::unique_lock lock(log->mutex);
        log->firstStarted = true;
        log->changed.notify_all();
        log->changed.wait(lock, [&] { return log->gateOpen; });
        log->ran.append(QStringLiteral("first"));
        log->firstFinished = true;
        log->changed.notify_all();
    };
}

std::function<void()> loggingItem(const std::shared_ptr<Log>& log, const QString& name)
{
    return [log, name] {
        std::lock_guard lock(log->mutex);
        log->ran.append(name + u'@' + QThread::currentThread()->objectName());
        log->changed.notify_all();
    };
}

TEST(BrowserReadQueueTest, RunsItemsOneAfterAnotherInOrderOnItsThread)
{
    auto log = std::make_shared<Log>();
    BrowserReadQueue queue(QStringLiteral("vellora.browser-shelf"));
    EXPECT_EQ(queue.name(), QStringLiteral("vellora.browser-shelf"));
    queue.submit(gatedItem(log));
    for (const char* name : {"a", "b", "c"})
        queue.submit(loggingItem(log, QString::fromLatin1(name)));
    ASSERT_TRUE(log->waitFor([&] { return log->firstStarted; }));
    {
        std::lock_guard lock(log->mutex);
        EXPECT_TRUE(log->ran.isEmpty()); // nothing overtakes the running item
    }
    log->openGate();
    ASSERT_TRUE(log->waitFor([&] { return log->ran.size() == 4; }));
    EXPECT_EQ(log->ran, (QStringList{"first", "a@vellora.browser-shelf", "b@vellora.browser-shelf",
                                     "c@vellora.browser-shelf"}));
}

TEST(BrowserReadQueueTest, CancelledItemsThatHaveNotStartedNeverRun)
{
    auto log = std::make_shared<Log>();
    BrowserReadQueue queue(QStringLiteral("q"));
    queue.submit(gatedItem(log));
    queue.submit(loggingItem(log, QStringLiteral("cancelled")));
    ASSERT_TRUE(log->waitFor([&] { return log->firstStarted; }));

    queue.cancelAll();
    queue.submit(loggingItem(log, QStringLiteral("after")));
    log->openGate();

    ASSERT_TRUE(log->waitFor([&] { return log->ran.size() == 2; }));
    EXPECT_EQ(log->ran, (QStringList{"first", "after@q"}));
}

TEST(BrowserReadQueueTest, DestroyingDoesNotWaitForTheRunningItem)
{
    auto log = std::make_shared<Log>();
    auto queue = std::make_unique<BrowserReadQueue>(QStringLiteral("q"));
    queue->submit(gatedItem(log));
    queue->submit(loggingItem(log, QStringLiteral("dropped")));
    ASSERT_TRUE(log->waitFor([&] { return log->firstStarted; }));
    // Opens the gate after a while in case destroying the queue waits for the item, which
    // this test then reports instead of hanging.
    std::thread rescue([log] {
        log->waitFor([&] { return log->queueDestroyed; });
        log->openGate();
    });

    queue.reset();
    bool finishedBeforeDestroyed = false;
    {
        std::lock_guard lock(log->mutex);
        finishedBeforeDestroyed = log->firstFinished;
        log->queueDestroyed = true;
        log->changed.notify_all();
    }
    rescue.join();

    EXPECT_FALSE(finishedBeforeDestroyed);
    ASSERT_TRUE(log->waitFor([&] { return log->firstFinished; }));
    EXPECT_EQ(log->ran, QStringList{"first"});
}

} // namespace
