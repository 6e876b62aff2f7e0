#pragma once

#include "Store/StoreSnapshot.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

// The store file "store.json":
// {"version": 1, "history": [clip…], "pinboards": [pinboard…],
//  "deletedClips": [{"id", "deletedAt"}…], "deletedPinboards": [{"id", "deletedAt"}…]}
namespace StoreFileCodec {

constexpr int formatVersion = 1;

// Where a value is in the file's bytes.
struct Span {
    qint64 offset = 0;
    qint64 length = 0;
};

struct Decoded {
    StoreSnapshot snapshot;
    // Where each history clip is in the bytes.
    QList<Span> historySpans;
    // False when some records were malformed and left out: the file must then be kept
    // aside before it is replaced, so that nothing in it is lost.
    bool complete = true;
};

// Told how many bytes are read after each history clip; false stops decoding.
using Progress = std::function<bool(qsizetype bytesRead)>;

QByteArray encode(const StoreSnapshot& snapshot);
// None when the bytes are not a JSON object of a known format version, or when `progress`
// stopped it. Decodes the history one clip at a time.
std::optional<Decoded> decode(QByteArrayView bytes, const Progress& progress = {});

} // namespace StoreFileCodec
