#include "Store/StoreMerge.h"

#include "Store/StoreFileEncoder.h"

#include <QHash>
#include <QJsonDocument>

namespace StoreMerge {

namespace {

QHash<QUuid, QDateTime> mergeTombstones(const QHash<QUuid, QDateTime>& a, const QHash<QUuid, QDateTime>& b)
{
    QHash<QUuid, QDateTime> merged = a;
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        auto existing = merged.find(it.key());
        if (existing == merged.end())
            merged.insert(it.key(), it.value());
        else if (it.value() > *existing)
            *existing = it.value();
    }
    return merged;
}

QByteArray encoding(const ClipItem& clip)
{
    return StoreFileEncoder::encodeClip(clip);
}

QByteArray encoding(const Pinboard& board)
{
    return QJsonDocument(board.toJson()).toJson(QJsonDocument::Compact);
}

QDateTime modified(const ClipItem& clip)
{
    return clip.lastModified();
}

QDateTime modified(const Pinboard& board)
{
    return board.modifiedAt;
}

template <typename Record> const Record& newer(const Record& a, const Record& b)
{
    const qint64 ma = modified(a).toMSecsSinceEpoch();
    const qint64 mb = modified(b).toMSecsSinceEpoch();
    if (ma != mb)
        return ma > mb ? a : b;
    if (a == b)
        return a;
    return encoding(a) >= encoding(b) ? a : b;
}

// The union by identifier, each identifier once (first position wins), newer versions kept.
template <typename Record> QList<Record> unite(const QList<Record>& local, const QList<Record>& remote)
{
    QList<Record> merged;
    QHash<QUuid, qsizetype> index;
    const auto add = [&](const Record& record) {
        const auto found = index.constFind(record.id);
        if (found == index.cend()) {
            index.insert(record.id, merged.size());
            merged.append(record);
            return;
        }
        Record& kept = merged[*found];
        kept = Record(newer(kept, record));
    };
    for (const Record& record : local)
        add(record);
    for (const Record& record : remote)
        add(record);
    return merged;
}

bool newestFirst(const ClipItem& a, const ClipItem& b)
{
    const qint64 ca = a.createdAt.toMSecsSinceEpoch();
    const qint64 cb = b.createdAt.toMSecsSinceEpoch();
    if (ca != cb)
        return ca > cb;
    return a.id.toString() < b.id.toString();
}

// Keeps the newest clip of each content; records the others as deleted.
void dropRepeatedContent(QList<ClipItem>& history, QHash<QUuid, QDateTime>& deleted)
{
    QSet<QByteArray> seen;
    QList<ClipItem> kept;
    kept.reserve(history.size());
    for (const ClipItem& clip : std::as_const(history)) {
        const QByteArray key = clip.contentKey();
        if (seen.contains(key)) {
            deleted.insert(clip.id, clip.lastModified());
            continue;
        }
        seen.insert(key);
        kept.append(clip);
    }
    history = std::move(kept);
}

} // namespace

StoreSnapshot merge(const StoreSnapshot& local, const StoreSnapshot& remote, const QSet<QUuid>& withheld)
{
    StoreSnapshot merged;
    merged.deletedClips = mergeTombstones(local.deletedClips, remote.deletedClips);
    merged.deletedPinboards = mergeTombstones(local.deletedPinboards, remote.deletedPinboards);

    merged.history = unite(local.history, remote.history);
    merged.history.removeIf([&](const ClipItem& clip) {
        return merged.deletedClips.contains(clip.id) || withheld.contains(clip.id);
    });
    std::stable_sort(merged.history.begin(), merged.history.end(), newestFirst);
    dropRepeatedContent(merged.history, merged.deletedClips);

    merged.pinboards = unite(local.pinboards, remote.pinboards);
    merged.pinboards.removeIf(
        [&](const Pinboard& board) { return merged.deletedPinboards.contains(board.id); });
    return merged;
}

} // namespace StoreMerge
