#include "Store/StoreFileEncoder.h"

#include "Models/JsonCoding.h"
#include "Platform/FileSystem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
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

} // namespace

// Hands the bytes on in order, counting where each piece starts in the file.
class StoreFileEncoder::Output {
public:
    explicit Output(const Platform::PieceSink& sink)
        : sink_(sink)
    {}

    qint64 offset() const { return offset_; }
    void put(QByteArrayView bytes)
    {
        written_ = written_ && sink_(bytes);
        offset_ += bytes.size();
    }
    // Values separated by commas, each put by `putValue`.
    template <typename List, typename PutValue> void putArray(const List& values, PutValue putValue)
    {
        put("[");
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                put(",");
            putValue(values[i]);
        }
        put("]");
    }

private:
    const Platform::PieceSink& sink_;
    qint64 offset_ = 0;
    bool written_ = true;
};

StoreFileEncoder::StoreFileEncoder()
    : checksumSeed_(QRandomGenerator::system()->generate64())
{}

StoreFileEncoder::~StoreFileEncoder() = default;

QByteArray StoreFileEncoder::encodeClip(const ClipItem& clip)
{
    return QJsonDocument(clip.toJson()).toJson(QJsonDocument::Compact);
}

quint64 StoreFileEncoder::checksum(QByteArrayView bytes) const
{
    return quint64(qHashBits(bytes.data(), size_t(bytes.size()), size_t(checksumSeed_)));
}

bool StoreFileEncoder::fileUnchanged() const
{
    // A file replaced since is another inode and stays as it was; one written to, truncated
    // or touched in place has another change time, which no one can put back.
    return file_ && fileStamp_ && Platform::openFileStamp(file_->handle()) == fileStamp_;
}

std::optional<StoreFileEncoder::Entry> StoreFileEncoder::readBack(const ClipItem& clip)
{
    const auto known = placed_.constFind(clip.id);
    if (!readingBack_ || known == placed_.cend() || !(*known->clip == clip))
        return std::nullopt;
    // Read, not mapped: a file cut short meanwhile gives a short read, never a fault.
    const Span span = known->span;
    readBuffer_.resize(span.length);
    if (!file_->seek(span.offset) || file_->read(readBuffer_.data(), span.length) != span.length ||
        checksum(readBuffer_) != known->checksum)
        return std::nullopt;
    if (afterFirstReadBack_)
        std::exchange(afterFirstReadBack_, {})();
    return *known;
}

void StoreFileEncoder::putClip(const ClipItem& clip, Output& out, Placed& placed)
{
    const auto kept = readBack(clip);
    const QByteArray encoded = kept ? QByteArray() : encodeClip(clip);
    const QByteArrayView bytes = kept ? QByteArrayView(readBuffer_) : QByteArrayView(encoded);
    placed.insert(clip.id, {&clip, {out.offset(), bytes.size()}, kept ? kept->checksum : checksum(encoded)});
    out.put(bytes);
}

bool StoreFileEncoder::putDocumentReadingBack(const StoreSnapshot& snapshot, Output& out, Placed& placed,
                                              bool readBack)
{
    readingBack_ = readBack;
    putDocument(snapshot, out, placed);
    readingBack_ = false;
    readBuffer_ = QByteArray();
    return !readBack || fileUnchanged();
}

void StoreFileEncoder::putPinboard(const Pinboard& board, Output& out, Placed& placed)
{
    Pinboard bare = board;
    bare.clips.clear();
    const QByteArray rest = QJsonDocument(bare.toJson()).toJson(QJsonDocument::Compact);
    out.put("{\"clips\":");
    out.putArray(board.clips, [&](const ClipItem& clip) { putClip(clip, out, placed); });
    out.put(QByteArrayView(rest).sliced(emptyClipsOpening.size()));
}

void StoreFileEncoder::putDocument(const StoreSnapshot& snapshot, Output& out, Placed& placed)
{
    placed.reserve(snapshot.history.size());
    out.put("{\"deletedClips\":");
    out.put(encodeTombstones(snapshot.deletedClips));
    out.put(",\"deletedPinboards\":");
    out.put(encodeTombstones(snapshot.deletedPinboards));
    out.put(",\"history\":");
    out.putArray(snapshot.history, [&](const ClipItem& clip) { putClip(clip, out, placed); });
    out.put(",\"pinboards\":");
    out.putArray(snapshot.pinboards, [&](const Pinboard& board) { putPinboard(board, out, placed); });
    out.put(",\"version\":" + QByteArray::number(StoreFileCodec::formatVersion) + '}');
}

QByteArray StoreFileEncoder::encode(const StoreSnapshot& snapshot)
{
    QByteArray bytes;
    const Platform::PieceSink append = [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    };
    Placed placed;
    Output out(append);
    if (!putDocumentReadingBack(snapshot, out, placed, fileUnchanged())) {
        bytes.clear();
        Output again(append);
        putDocumentReadingBack(snapshot, again, placed, false);
    }
    return bytes;
}

std::optional<QString> StoreFileEncoder::write(const QString& path, const StoreSnapshot& snapshot)
{
    Placed placed;
    qint64 size = 0;
    const auto writeDocument = [&](bool readBack) {
        placed.clear();
        return Platform::writeFileAtomically(
            path, [&](const Platform::PieceSink& sink) -> std::optional<QString> {
                Output out(sink);
                if (!putDocumentReadingBack(snapshot, out, placed, readBack))
                    return QStringLiteral("the file changed while it was read");
                size = out.offset();
                return std::nullopt;
            });
    };
    const bool readBack = fileUnchanged();
    auto error = writeDocument(readBack);
    if (error && readBack && !fileUnchanged())
        error = writeDocument(false);
    if (!error)
        useFile(path, std::move(placed), snapshot, size);
    return error;
}

void StoreFileEncoder::useFile(const QString& path, Placed placed, StoreSnapshot written,
                               std::optional<qint64> size)
{
    auto file = std::make_unique<QFile>(path);
    const bool opened = file->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    const auto stamp = opened ? Platform::openFileStamp(file->handle()) : std::nullopt;
    // Another program may have replaced the file the moment it was written.
    if (!stamp || (size && stamp->size != *size)) {
        fileStamp_.reset();
        file_.reset();
        placed_.clear();
        written_ = {};
        return;
    }
    fileStamp_ = stamp;
    file_ = std::move(file);
    placed_ = std::move(placed);
    written_ = std::move(written);
}

void StoreFileEncoder::prime(const QList<ClipItem>& history, const QList<Span>& spans, const QString& path)
{
    StoreSnapshot read;
    read.history = history;
    useFile(path, {}, read);
    if (!file_ || spans.size() != history.size())
        return;
    // Read rather than mapped: at the peak of loading, the file's pages would count too.
    Placed placed;
    for (qsizetype i = 0; i < history.size(); ++i) {
        const ClipItem& clip = written_.history.at(i);
        const QByteArray encoded = encodeClip(clip);
        if (encoded.size() != spans[i].length || !file_->seek(spans[i].offset) ||
            file_->read(spans[i].length) != encoded)
            continue;
        placed.insert(clip.id, {&clip, spans[i], checksum(encoded)});
    }
    placed_ = std::move(placed);
}
