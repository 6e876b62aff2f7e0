#include "Store/StoreFileCodec.h"

#include "Models/JsonCoding.h"
#include "Store/JsonValueScanner.h"
#include "Store/StoreFileEncoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace StoreFileCodec {

namespace {

const QString versionKey = QStringLiteral("version");
const QString historyKey = QStringLiteral("history");
const QString pinboardsKey = QStringLiteral("pinboards");
const QString deletedClipsKey = QStringLiteral("deletedClips");
const QString deletedPinboardsKey = QStringLiteral("deletedPinboards");
const QString idKey = QStringLiteral("id");
const QString deletedAtKey = QStringLiteral("deletedAt");

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

// One value on its own, wrapped in an array because a document is an object or an array.
std::optional<QJsonValue> parseValue(QByteArrayView text)
{
    QByteArray wrapped;
    wrapped.reserve(text.size() + 2);
    wrapped.append('[').append(text).append(']');
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(wrapped, &error);
    if (error.error != QJsonParseError::NoError || document.array().size() != 1)
        return std::nullopt;
    return document.array().first();
}

std::optional<QJsonValue> takeParsedValue(JsonValueScanner& scanner)
{
    const auto text = scanner.takeValue();
    return text ? parseValue(*text) : std::nullopt;
}

// Clips copied from one application repeat its names: each is held once.
void shareRepeated(std::optional<QString>& value, QSet<QString>& seen)
{
    if (!value)
        return;
    const auto found = seen.constFind(*value);
    if (found != seen.cend())
        *value = *found;
    else
        seen.insert(*value);
}

// The history, one clip at a time, so that the document's tree is never held whole.
// False when the document is not JSON.
bool decodeHistory(JsonValueScanner& scanner, QByteArrayView bytes, Decoded& decoded,
                   const Progress& progress)
{
    QList<ClipItem>& clips = decoded.snapshot.history;
    bool& complete = decoded.complete;
    QSet<QString> sources;
    if (scanner.peek() != '[') {
        complete = false;
        return takeParsedValue(scanner).has_value();
    }
    scanner.take('[');
    if (scanner.take(']'))
        return true;
    do {
        const auto text = scanner.takeValue();
        const auto value = text ? parseValue(*text) : std::nullopt;
        if (!value)
            return false;
        auto clip = value->isObject() ? ClipItem::fromJson(value->toObject()) : std::nullopt;
        if (clip) {
            shareRepeated(clip->sourceBundleID, sources);
            shareRepeated(clip->sourceAppName, sources);
            clips.append(std::move(*clip));
            decoded.historySpans.append({text->data() - bytes.data(), text->size()});
        } else {
            complete = false;
        }
        if (progress && !progress(text->data() + text->size() - bytes.data()))
            return false;
    } while (scanner.take(','));
    // Not squeezed: that would hold a second copy of the list at the peak of loading, and
    // the room left at its end is never touched, so it takes no memory.
    return scanner.take(']');
}

} // namespace

QByteArray encode(const StoreSnapshot& snapshot)
{
    return StoreFileEncoder().encode(snapshot);
}

std::optional<Decoded> decode(QByteArrayView bytes, const Progress& progress)
{
    JsonValueScanner scanner(bytes);
    if (!scanner.take('{'))
        return std::nullopt;
    Decoded decoded;
    QJsonObject root;
    if (!scanner.take('}')) {
        do {
            const auto key = takeParsedValue(scanner);
            if (!key || !key->isString() || !scanner.take(':'))
                return std::nullopt;
            if (key->toString() == historyKey) {
                decoded.snapshot.history.clear();
                decoded.historySpans.clear();
                if (!decodeHistory(scanner, bytes, decoded, progress))
                    return std::nullopt;
                continue;
            }
            const auto value = takeParsedValue(scanner);
            if (!value)
                return std::nullopt;
            root.insert(key->toString(), *value);
        } while (scanner.take(','));
        if (!scanner.take('}'))
            return std::nullopt;
    }
    if (!scanner.atEnd())
        return std::nullopt;
    const QJsonValue version = root.value(versionKey);
    if (!version.isDouble() || version.toDouble() != formatVersion)
        return std::nullopt;

    decoded.snapshot.pinboards = decodeRecords<Pinboard>(root.value(pinboardsKey), decoded.complete);
    decoded.snapshot.deletedClips = decodeTombstones(root.value(deletedClipsKey), decoded.complete);
    decoded.snapshot.deletedPinboards = decodeTombstones(root.value(deletedPinboardsKey), decoded.complete);
    return decoded;
}

} // namespace StoreFileCodec
