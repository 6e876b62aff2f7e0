#include "Store/StoreSnapshot.h"

namespace {

bool sameTombstones(const QHash<QUuid, QDateTime>& a, const QHash<QUuid, QDateTime>& b)
{
    if (a.size() != b.size())
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const auto other = b.constFind(it.key());
        if (other == b.cend() || other->toMSecsSinceEpoch() != it->toMSecsSinceEpoch())
            return false;
    }
    return true;
}

} // namespace

bool StoreSnapshot::operator==(const StoreSnapshot& other) const
{
    return history == other.history && pinboards == other.pinboards &&
           sameTombstones(deletedClips, other.deletedClips) &&
           sameTombstones(deletedPinboards, other.deletedPinboards);
}

QSet<QString> StoreSnapshot::imageFileNames() const
{
    QSet<QString> names;
    const auto add = [&names](const QList<ClipItem>& clips) {
        for (const ClipItem& clip : clips) {
            if (clip.imageFileName)
                names.insert(*clip.imageFileName);
        }
    };
    add(history);
    for (const Pinboard& board : pinboards)
        add(board.clips);
    return names;
}
