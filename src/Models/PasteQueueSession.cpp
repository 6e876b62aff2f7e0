#include "Models/PasteQueueSession.h"

void PasteQueueSession::start(const QList<ClipItem>& items)
{
    end();
    if (items.isEmpty())
        return;
    items_ = items;
    sessionID_ = QUuid::createUuid();
}

void PasteQueueSession::end()
{
    items_.clear();
    position_ = 0;
    dispatching_ = false;
    sessionID_ = QUuid();
}

std::optional<PasteQueueSession::Ticket> PasteQueueSession::takeNext()
{
    if (!isActive() || dispatching_)
        return std::nullopt;
    dispatching_ = true;
    return Ticket{sessionID_, position_, items_.at(position_)};
}

bool PasteQueueSession::finish(const Ticket& ticket, bool pasted)
{
    if (!dispatching_ || ticket.sessionID != sessionID_ || ticket.position != position_)
        return false;
    dispatching_ = false;
    if (!pasted)
        return true;
    ++position_;
    if (position_ >= items_.size())
        end();
    return true;
}
