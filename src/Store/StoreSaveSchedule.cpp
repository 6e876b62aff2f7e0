#include "Store/StoreSaveSchedule.h"

#include <algorithm>

StoreSaveSchedule::StoreSaveSchedule(std::chrono::milliseconds delay, std::chrono::milliseconds longestDelay,
                                     std::function<QDateTime()> now, QObject* parent)
    : QObject(parent)
    , delay_(delay)
    , longestDelay_(longestDelay)
    , now_(std::move(now))
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &StoreSaveSchedule::due);
}

void StoreSaveSchedule::markUnsaved()
{
    ++changeCount_;
    if (!firstUnsavedChange_)
        firstUnsavedChange_ = now_();
}

void StoreSaveSchedule::schedule()
{
    markUnsaved();
    const auto untilDeadline =
        longestDelay_ - std::chrono::milliseconds(firstUnsavedChange_->msecsTo(now_()));
    timer_.start(std::clamp(untilDeadline, std::chrono::milliseconds(0), delay_));
}

quint64 StoreSaveSchedule::beginSave()
{
    firstUnsavedChange_.reset();
    return changeCount_;
}

void StoreSaveSchedule::noteWritten(quint64 changeCount)
{
    failing_ = false;
    savedChangeCount_ = std::max(savedChangeCount_, changeCount);
}
