#pragma once

#include "Store/StoreSnapshot.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The store file "store.json":
// {"version": 1, "history": [clip…], "pinboards": [pinboard…],
//  "deletedClips": [{"id", "deletedAt"}…], "deletedPinboards": [{"id", "deletedAt"}…]}
namespace StoreFileCodec {

constexpr int formatVersion = 1;

struct Decoded {
    StoreSnapshot snapshot;
    // False when some records were malformed and left out: the file must then be kept
    // aside before it is replaced, so that nothing in it is lost.
    bool complete = true;
};

QByteArray encode(const StoreSnapshot& snapshot);
// None when the bytes are not a JSON object of a known format version. Decodes the history
// one clip at a time.
std::optional<Decoded> decode(QByteArrayView bytes);

} // namespace StoreFileCodec
