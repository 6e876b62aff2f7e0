#pragma once

#include "BrowserLinks/BrowserPageResult.h"
#include "BrowserLinks/BrowserShelfModel.h"

#include <QTest>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

// Stands in for the browsers behind a BrowserShelfModel: each read answers with the result the
// test set for that browser (no pages when none was set), at once or, while held, only after
// release(). Reads run on the model's worker thread; the state is shared with it.
class ControlledBrowserReader {
public:
    ControlledBrowserReader() = default;
    ControlledBrowserReader(const ControlledBrowserReader&) = delete;
    ControlledBrowserReader& operator=(const ControlledBrowserReader&) = delete;
    // A held read must not outlive the test waiting.
    ~ControlledBrowserReader() { release(); }

    BrowserShelfModel::Reader reader() const
    {
        return [state = state_](LinkBrowser browser) {
            std::unique_lock lock(state->mutex);
            ++state->started;
            state->changed.notify_all();
            state->changed.wait(lock, [&] { return !state->held; });
            ++state->finished;
            const auto found = state->results.find(browser);
            return found != state->results.end() ? found->second : BrowserPageResult{browser, {}, {}, {}, 0};
        };
    }

    void setResult(const BrowserPageResult& result)
    {
        std::lock_guard lock(state_->mutex);
        state_->results[result.browser] = result;
    }
    void setPages(LinkBrowser browser, const QList<BrowserPage>& pages)
    {
        setResult({browser, pages, {}, {}, 0});
    }

    void hold()
    {
        std::lock_guard lock(state_->mutex);
        state_->held = true;
    }
    void release()
    {
        std::lock_guard lock(state_->mutex);
        state_->held = false;
        state_->changed.notify_all();
    }

    // Reads begun so far.
    int started() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->started;
    }
    // Reads that have given their answer so far.
    int finished() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->finished;
    }
    bool waitForStarted(int count, int timeoutMs = 5000) const
    {
        return QTest::qWaitFor([&] { return started() >= count; }, timeoutMs);
    }

    // A page as a browser lists it, identified by browser, window and tab.
    static BrowserPage page(LinkBrowser browser, int window, int tab, const QString& title,
                            const QString& url)
    {
        return {LinkBrowsers::rawValue(browser) + QStringLiteral(":%1:%2").arg(window).arg(tab), browser,
                title, url};
    }

private:
    struct State {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::map<LinkBrowser, BrowserPageResult> results;
        bool held = false;
        int started = 0;
        int finished = 0;
    };

    std::shared_ptr<State> state_ = std::make_shared<State>();
};
