#include "Store/StoreFileCodec.h"

#include "Models/JsonCoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace StoreFileCodec {

namespace {

const QString versionKey = QStringLiteral("version");
const QString historyKey = QStringLiteral("history");
const QString pinboardsKey = QStringLiteral("pinboards");
const QString deletedClipsKey = QStringLiteral("deletedClips");
const QString deletedPinboardsKey = QStringLiteral("deletedPinboards");
const QString idKey = QStringLiteral("id");
const QString deletedAtKey = QStringLiteral("deletedAt");

QJsonArray encodeTombstones(const QHash<QUuid, QDateTime>& tombstones)
{
    QList<QUuid> ids = tombstones.keys();
    std::sort(ids.begin(), ids.end(),
              [](const QUuid& a, const QUuid& b) { return a.toString() < b.toString(); });
    QJsonArray array;
    for (const QUuid& id : ids) {
        array.append(QJsonObject{
            {idKey, JsonCoding::uuidString(id)},
            {deletedAtKey, JsonCoding::secondsSinceReferenceDate(tombstones.value(id))},
        });
    }
    return array;
}

// Reads the records of one array; leaves out malformed ones and reports them.
template <typename Record> QList<Record> decodeRecords(const QJsonValue& value, bool& complete)
{
    QList<Record> records;
    if (value.isUndefined())
        return records;
    if (!value.isArray()) {
        complete = false;
        return records;
    }
    for (const QJsonValue& entry : value.toArray()) {
        const auto record = Record::fromJson(entry.toObject());
        if (entry.isObject() && record)
            records.append(*record);
        else
            complete = false;
    }
    return records;
}

QHash<QUuid, QDateTime> decodeTombstones(const QJsonValue& value, bool& complete)
{
    QHash<QUuid, QDateTime> tombstones;
    if (value.isUndefined())
        return tombstones;
    if (!value.isArray()) {
        complete = false;
        return tombstones;
    }
    for (const QJsonValue& entry : value.toArray()) {
        const QJsonObject object = entry.toObject();
        const auto id = JsonCoding::uuidFromString(object.value(idKey).toString());
        const auto deletedAt = JsonCoding::optionalDate(object, deletedAtKey);
        if (!id || !deletedAt || !*deletedAt) {
            complete = false;
            continue;
        }
        tombstones.insert(*id, **deletedAt);
    }
    return tombstones;
}

} // namespace

QByteArray encode(const StoreSnapshot& snapshot)
{
    QJsonArray history;
    for (const ClipItem& clip : snapshot.history)
        history.append(clip.toJson());
    QJsonArray pinboards;
    for (const Pinboard& board : snapshot.pinboards)
        pinboards.append(board.toJson());
    const QJsonObject root{
        {versionKey, formatVersion},
        {historyKey, history},
        {pinboardsKey, pinboards},
        {deletedClipsKey, encodeTombstones(snapshot.deletedClips)},
        {deletedPinboardsKey, encodeTombstones(snapshot.deletedPinboards)},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<Decoded> decode(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(versionKey);
    if (!version.isDouble() || version.toDouble() != formatVersion)
        return std::nullopt;

    Decoded decoded;
    decoded.snapshot.history = decodeRecords<ClipItem>(root.value(historyKey), decoded.complete);
    decoded.snapshot.pinboards = decodeRecords<Pinboard>(root.value(pinboardsKey), decoded.complete);
    decoded.snapshot.deletedClips = decodeTombstones(root.value(deletedClipsKey), decoded.complete);
    decoded.snapshot.deletedPinboards = decodeTombstones(root.value(deletedPinboardsKey), decoded.complete);
    return decoded;
}

} // namespace StoreFileCodec
