#include "Store/DeletionUndo.h"

namespace {

QList<ClipItem> clipsOf(const QList<ClipUndoStack::Deletion>& deletions)
{
    QList<ClipItem> clips;
    for (const auto& deletion : deletions) {
        for (const auto& removed : deletion.removed)
            clips.append(removed.clip);
    }
    return clips;
}

} // namespace

DeletionUndo::DeletionUndo(std::function<QDateTime()> now, QObject* parent)
    : QObject(parent)
    , now_(std::move(now))
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &DeletionUndo::expired);
}

void DeletionUndo::push(ClipUndoStack::Deletion deletion)
{
    stack_.push(std::move(deletion));
    restartTimer();
}

bool DeletionUndo::canUndo() const
{
    return stack_.canUndo(now_());
}

std::optional<ClipUndoStack::Deletion> DeletionUndo::takeUndoable()
{
    auto deletion = stack_.takeUndoable(now_());
    restartTimer();
    return deletion;
}

QList<ClipItem> DeletionUndo::takeExpiredClips()
{
    const auto expired = stack_.takeExpired(now_());
    restartTimer();
    return clipsOf(expired);
}

QList<ClipItem> DeletionUndo::takeAllClips()
{
    const auto all = stack_.takeAll();
    restartTimer();
    return clipsOf(all);
}

void DeletionUndo::restartTimer()
{
    if (const auto expiry = stack_.nextExpiry())
        timer_.start(std::chrono::milliseconds(std::max<qint64>(0, now_().msecsTo(*expiry))));
    else
        timer_.stop();
}
