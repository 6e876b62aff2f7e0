#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace Platform {

constexpr int privateFolderMode = 0700;
constexpr int privateFileMode = 0600;

// Creates a folder and its missing parents, each new one with mode 0700.
// Gives the reason when it fails.
std::optional<QString> makePrivateFolder(const QString& path);

// Replaces a file in one step (write to a temporary file, then rename) with mode 0600,
// creating its folder with mode 0700 when missing. Gives the reason when it fails;
// the old file is then untouched.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes);
// Takes the next piece of a file; false once writing failed (the rest is not written).
using PieceSink = std::function<bool(QByteArrayView piece)>;
// The same, with the pieces handed to the sink by `produce` as it makes them. A reason from
// `produce` gives up the write instead, and is given back; the old file is then untouched.
using PieceProducer = std::function<std::optional<QString>(const PieceSink&)>;
std::optional<QString> writeFileAtomically(const QString& path, const PieceProducer& produce);

// What a change of an open file's contents in place changes: its size and modification time,
// which can be put back, and its change time, which can't.
struct FileStamp {
    qint64 size = 0;
    qint64 modifiedNanoseconds = 0;
    qint64 changedNanoseconds = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the file open on the descriptor; none when it can't be read.
std::optional<FileStamp> openFileStamp(int descriptor);

// Renames an unreadable file to "<path>.unreadable-<yyyyMMdd-HHmmss>" (local time of `now`,
// with "-2", "-3"… when that name is taken), so that its bytes stay as they were. Gives
// the new path, or none when the file can't be renamed.
std::optional<QString> keepUnreadableFileAside(const QString& path, const QDateTime& now);

// Tests make writeFileAtomically() fail: the function gets the path and gives the reason to
// fail with, or none to write. An empty function restores real writes.
void setWriteFailureForTesting(std::function<std::optional<QString>(const QString& path)> failure);

} // namespace Platform
