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

// An array of encoded values, as pieces of the file.
void appendArray(QList<QByteArray>& pieces, const QList<QByteArray>& values)
{
    static const QByteArray opening = QByteArrayLiteral("[");
    static const QByteArray separator = QByteArrayLiteral(",");
    static const QByteArray closing = QByteArrayLiteral("]");
    pieces.append(opening);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            pieces.append(separator);
        pieces.append(values[i]);
    }
    pieces.append(closing);
}

QByteArray joined(const QList<QByteArray>& pieces)
{
    qsizetype size = 0;
    for (const QByteArray& piece : pieces)
        size += piece.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& piece : pieces)
        out += piece;
    return out;
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
    QList<QByteArray> pieces{QByteArrayLiteral("{\"clips\":")};
    appendArray(pieces, clips);
    pieces.append(rest.mid(emptyClipsOpening.size()));
    return joined(pieces);
}

QList<QByteArray> StoreFileEncoder::encodePieces(const StoreSnapshot& snapshot)
{
    QHash<QUuid, Entry> used;
    used.reserve(snapshot.history.size());
    QList<QByteArray> history;
    history.reserve(snapshot.history.size());
    for (const ClipItem& clip : snapshot.history)
        history.append(clipBytes(clip, used));
    QList<QByteArray> pinboards;
    for (const Pinboard& board : snapshot.pinboards)
        pinboards.append(pinboardBytes(board, used));
    cache_ = std::move(used);

    QList<QByteArray> pieces;
    pieces.reserve(2 * history.size() + 2 * pinboards.size() + 16);
    pieces << QByteArrayLiteral("{\"deletedClips\":") << encodeTombstones(snapshot.deletedClips)
           << QByteArrayLiteral(",\"deletedPinboards\":") << encodeTombstones(snapshot.deletedPinboards)
           << QByteArrayLiteral(",\"history\":");
    appendArray(pieces, history);
    pieces << QByteArrayLiteral(",\"pinboards\":");
    appendArray(pieces, pinboards);
    pieces << QByteArrayLiteral(",\"version\":") + QByteArray::number(StoreFileCodec::formatVersion) + '}';
    return pieces;
}

QByteArray StoreFileEncoder::encode(const StoreSnapshot& snapshot)
{
    return joined(encodePieces(snapshot));
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
