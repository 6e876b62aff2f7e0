#pragma once

#include "Models/ClipItem.h"
#include "Platform/FileSystem.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreSnapshot.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

// Writes the store file: the bytes of the whole document encoded at once as compact JSON.
// Each clip's bytes are read back from the last file this encoder wrote (or loaded and found
// to hold them as it writes them), which it keeps open, unless the clip changed since: saving
// after one copy encodes one clip, and no clip's bytes are kept in memory between saves.
// Bytes read back are copied only when their checksum is the one of the bytes written, so
// another program's edit of the file, even with its times put back, is never copied; a
// clip whose bytes fail it is encoded from memory. When the file changed while a document
// was copied from it, the document is written again from memory.
// Not thread-safe: one thread uses it at a time.
class StoreFileEncoder {
public:
    using Span = StoreFileCodec::Span;

    StoreFileEncoder();
    ~StoreFileEncoder();

    // The whole document.
    QByteArray encode(const StoreSnapshot& snapshot);
    // Replaces the file at `path` in one step with the document, and reads unchanged clips
    // from it next time. Gives the reason when it fails.
    std::optional<QString> write(const QString& path, const StoreSnapshot& snapshot);
    // The history clips of the file at `path`, with their places in it: those whose bytes
    // there are what this encoder writes are read from it next time.
    void prime(const QList<ClipItem>& history, const QList<Span>& spans, const QString& path);

    // One clip as compact JSON, as it appears in the file.
    static QByteArray encodeClip(const ClipItem& clip);

    // Tests change the file while a document is copied from it: called once per document,
    // after its first clip is read back.
    void setAfterFirstReadBackForTesting(std::function<void()> hook)
    {
        afterFirstReadBack_ = std::move(hook);
    }

private:
    struct Entry {
        // Into the lists kept in written_.
        const ClipItem* clip;
        Span span;
        // Of the bytes at the span as written.
        quint64 checksum;
    };
    using Placed = QHash<QUuid, Entry>;
    class Output;

    void putDocument(const StoreSnapshot& snapshot, Output& out, Placed& placed);
    void putClip(const ClipItem& clip, Output& out, Placed& placed);
    void putPinboard(const Pinboard& board, Output& out, Placed& placed);
    quint64 checksum(QByteArrayView bytes) const;
    // Whether the file is as it was written or loaded: not written to, truncated or touched since.
    bool fileUnchanged() const;
    // Puts the document, reading unchanged clips back when `readBack`; false when the file
    // changed meanwhile, so that what was copied can't be trusted.
    bool putDocumentReadingBack(const StoreSnapshot& snapshot, Output& out, Placed& placed, bool readBack);
    // The clip's place in the file, its bytes read into readBuffer_; none when the clip
    // changed or the bytes there are not the ones written for it.
    std::optional<Entry> readBack(const ClipItem& clip);
    // Reads from the file at `path` from now on, with the clips placed in it, which `written`
    // holds; not when the file there is not of the `size` just written.
    void useFile(const QString& path, Placed placed, StoreSnapshot written,
                 std::optional<qint64> size = std::nullopt);

    Placed placed_;
    // The lists as they were written, shared with the store's until it changes them: a copy
    // of the clips costs nothing while they are unchanged.
    StoreSnapshot written_;
    std::unique_ptr<QFile> file_;
    // The file as it was written or loaded: one rewritten in place since is not read back.
    std::optional<Platform::FileStamp> fileStamp_;
    // Keys the checksums: another program can't make other bytes with the same one.
    const quint64 checksumSeed_;
    // While a document is put: whether unchanged clips are read back, and what one is read into.
    bool readingBack_ = false;
    QByteArray readBuffer_;
    std::function<void()> afterFirstReadBack_;
};
