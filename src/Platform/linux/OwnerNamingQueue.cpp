#include "Platform/linux/OwnerNamingQueue.h"

#include "Platform/LogCategories.h"
#include "Platform/linux/DisplayConnections.h"
#include "Platform/linux/ProcessInfo.h"

namespace Platform {

OwnerNamingQueue::OwnerNamingQueue(Deliver deliver)
    : deliver_(std::move(deliver))
    , thread_(&OwnerNamingQueue::run, this)
{}

OwnerNamingQueue::~OwnerNamingQueue()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (connection_)
        xcb_disconnect(connection_);
}

void OwnerNamingQueue::add(std::optional<ClipboardSnapshot> snapshot, std::optional<qint64> endedOwner)
{
    {
        const std::lock_guard lock(mutex_);
        items_.push_back({std::move(snapshot), endedOwner});
    }
    wake_.notify_all();
}

void OwnerNamingQueue::run()
{
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !items_.empty(); });
        if (stopping_)
            return;
        Item item = std::move(items_.front());
        items_.pop_front();
        lock.unlock();
        if (item.snapshot && item.endedOwner)
            name(*item.snapshot, *item.endedOwner);
        deliver_(std::move(item.snapshot));
    }
}

void OwnerNamingQueue::name(ClipboardSnapshot& snapshot, qint64 endedOwner)
{
    snapshot.ownerProcess.reset();
    if (!connection_) {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_)) {
            xcb_disconnect(connection_);
            connection_ = nullptr;
            return;
        }
    }
    std::optional<qint64> holder;
    for (int look = 0; look < settleLooks; ++look) {
        if (look > 0 && !settle())
            break;
        holder = DisplayConnections::holderOfEndedClient(connection_, endedOwner);
        if (holder)
            break;
    }
    qCDebug(logCapture) << "naming: the connection of ended process" << endedOwner << "is held by"
                        << holder.value_or(0);
    if (!holder)
        return;
    snapshot.ownerProcess = holder;
    if (const std::optional<ProcessInfo> process = ProcessInfo::read(*holder))
        snapshot.ownerExecutable = process->executableName();
}

bool OwnerNamingQueue::settle()
{
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, settleInterval, [this] { return stopping_ || !items_.empty(); });
}

} // namespace Platform
