#pragma once

#include <QString>
#include <functional>
#include <memory>

// A serial background queue on one worker thread of its own: work runs in submission order,
// one item at a time. Destroying the queue does not wait for the running item: it finishes
// on its thread, which then ends; items that had not started never run.
class BrowserReadQueue {
public:
    explicit BrowserReadQueue(const QString& name);
    ~BrowserReadQueue();
    BrowserReadQueue(const BrowserReadQueue&) = delete;
    BrowserReadQueue& operator=(const BrowserReadQueue&) = delete;

    QString name() const { return name_; }

    void submit(std::function<void()> work);
    // Items that have not started never run; the running one finishes.
    void cancelAll();

private:
    struct State;
    static void drain(const std::shared_ptr<State>& state);

    QString name_;
    std::shared_ptr<State> state_;
};
