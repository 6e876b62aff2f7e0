#include "Store/StoreFileEncoder.h"

#include "Models/JsonCoding.h"
#include "Store/StoreFileCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

// Compact JSON orders an object's keys; "clips" comes first in a pinboard.
const QByteArray emptyClipsOpening = QByteArrayLiteral("{\"clips\":[]");

QByteArray compact(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QByteArray encodeTombstones(const QHash<QUuid, QDateTime>& tombstones)
{
    QList<QUuid> ids = tombstones.keys();
    std::sort(ids.begin(), ids.end(),
              [](const QUuid& a, const QUuid& b) { return a.toString() < b.toString(); });
    QJsonArray array;
    for (const QUuid& id : ids) {
        array.append(QJsonObject{
            {QStringLiteral("id"), JsonCoding::uuidString(id)},
            {QStringLiteral("deletedAt"), JsonCoding::secondsSinceReferenceDate(tombstones.value(id))},
        });
    }
    return compact(array);
}

void appendJoined(QByteArray& out, const QList<QByteArray>& parts)
{
    out += '[';
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += ',';
        out += parts[i];
    }
    out += ']';
}

} // namespace

QByteArray StoreFileEncoder::encodeClip(const ClipItem& clip)
{
    QByteArray bytes = QJsonDocument(clip.toJson()).toJson(QJsonDocument::Compact);
    // Kept until the clip changes: without the room the writer grew into, up to half again.
    bytes.squeeze();
    return bytes;
}

QByteArray StoreFileEncoder::clipBytes(const ClipItem& clip, QHash<QUuid, Entry>& used)
{
    auto cached = cache_.constFind(clip.id);
    Entry entry = cached != cache_.cend() && cached->clip == clip ? *cached : Entry{clip, encodeClip(clip)};
    return used.insert(clip.id, std::move(entry))->bytes;
}

QByteArray StoreFileEncoder::pinboardBytes(const Pinboard& board, QHash<QUuid, Entry>& used)
{
    Pinboard bare = board;
    bare.clips.clear();
    const QByteArray rest = QJsonDocument(bare.toJson()).toJson(QJsonDocument::Compact);
    QList<QByteArray> clips;
    for (const ClipItem& clip : board.clips)
        clips.append(clipBytes(clip, used));
    QByteArray out = QByteArrayLiteral("{\"clips\":");
    appendJoined(out, clips);
    return out + rest.mid(emptyClipsOpening.size());
}

QByteArray StoreFileEncoder::encode(const StoreSnapshot& snapshot)
{
    QHash<QUuid, Entry> used;
    used.reserve(snapshot.history.size());
    QList<QByteArray> history;
    history.reserve(snapshot.history.size());
    qsizetype size = 0;
    for (const ClipItem& clip : snapshot.history) {
        history.append(clipBytes(clip, used));
        size += history.last().size() + 1;
    }
    QList<QByteArray> pinboards;
    for (const Pinboard& board : snapshot.pinboards)
        pinboards.append(pinboardBytes(board, used));
    cache_ = std::move(used);

    QByteArray out;
    out.reserve(size + 1024);
    out += QByteArrayLiteral("{\"deletedClips\":") + encodeTombstones(snapshot.deletedClips);
    out += QByteArrayLiteral(",\"deletedPinboards\":") + encodeTombstones(snapshot.deletedPinboards);
    out += QByteArrayLiteral(",\"history\":");
    appendJoined(out, history);
    out += QByteArrayLiteral(",\"pinboards\":");
    appendJoined(out, pinboards);
    out += QByteArrayLiteral(",\"version\":") + QByteArray::number(StoreFileCodec::formatVersion) + '}';
    return out;
}

void StoreFileEncoder::prime(const StoreSnapshot& snapshot)
{
    QHash<QUuid, Entry> used;
    used.reserve(snapshot.history.size());
    for (const ClipItem& clip : snapshot.history)
        clipBytes(clip, used);
    for (const Pinboard& board : snapshot.pinboards) {
        for (const ClipItem& clip : board.clips)
            clipBytes(clip, used);
    }
    cache_ = std::move(used);
}
