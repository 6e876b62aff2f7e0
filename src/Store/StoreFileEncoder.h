#pragma once

#include "Models/ClipItem.h"
#include "Store/StoreSnapshot.h"

#include <QByteArray>
#include <QHash>
#include <QUuid>

// Writes the store file's bytes, keeping each clip's encoded bytes until the clip changes,
// so that saving after one copy encodes one clip. The bytes are those of the whole
// document encoded at once as compact JSON. Not thread-safe: one thread uses it at a time.
class StoreFileEncoder {
public:
    QByteArray encode(const StoreSnapshot& snapshot);
    // The same bytes as pieces, to be written one after the other: the clips' cached bytes
    // are not copied into one buffer.
    QList<QByteArray> encodePieces(const StoreSnapshot& snapshot);
    // Encodes the clips that are not cached yet; forgets clips no longer in the snapshot.
    void prime(const StoreSnapshot& snapshot);

    // One clip as compact JSON, as it appears in the file.
    static QByteArray encodeClip(const ClipItem& clip);

private:
    struct Entry {
        ClipItem clip;
        QByteArray bytes;
    };

    QByteArray clipBytes(const ClipItem& clip, QHash<QUuid, Entry>& used);
    QByteArray pinboardBytes(const Pinboard& board, QHash<QUuid, Entry>& used);

    QHash<QUuid, Entry> cache_;
};
