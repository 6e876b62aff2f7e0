#include "Platform/FileSystem.h"

#include "Platform/UserText.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace Platform {

namespace {
std::function<std::optional<QString>(const QString&)> injectedWriteFailure;

// What the system gave as the cause of a failed write, in the user's language where it is
// one a user can act on; `fallback` when the system gave none.
QString writeFailureCause(int error, const QString& fallback)
{
    switch (error) {
    case 0:
        return fallback;
    case ENOSPC:
        return userText(QStringLiteral("There is no space left on the disk."));
    case EDQUOT:
        return userText(QStringLiteral("Your disk quota is used up."));
    case EROFS:
        return userText(QStringLiteral("The disk is read-only."));
    case EFBIG:
        return userText(QStringLiteral("The file is larger than the system allows."));
    default:
        return QString::fromLocal8Bit(strerror(error));
    }
}
} // namespace

std::optional<QString> makePrivateFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QFileInfo info(clean);
    if (info.isDir())
        return std::nullopt;
    if (info.exists())
        return QStringLiteral("%1 exists and is not a folder").arg(clean);
    if (const auto error = makePrivateFolder(info.absolutePath()); error)
        return error;
    if (::mkdir(QFile::encodeName(clean).constData(), privateFolderMode) != 0 && !QFileInfo(clean).isDir())
        return QStringLiteral("cannot create %1: %2").arg(clean, QString::fromLocal8Bit(strerror(errno)));
    return std::nullopt;
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    return writeFileAtomically(path, [&bytes](const PieceSink& sink) -> std::optional<QString> {
        sink(bytes);
        return std::nullopt;
    });
}

std::optional<QString> writeFileAtomically(const QString& path, const PieceProducer& produce)
{
    if (injectedWriteFailure) {
        if (auto failure = injectedWriteFailure(path))
            return failure;
    }
    if (const auto error = makePrivateFolder(QFileInfo(path).absolutePath()); error)
        return error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    bool written = true;
    // WORKAROUND: a write cut short part way (a full disk) leaves QSaveFile without an error of
    // its own ("Unknown error"); the system's cause is in errno right after it.
    int cause = 0;
    const std::optional<QString> givenUp = produce([&](QByteArrayView piece) {
        errno = 0;
        written = written && file.write(piece.data(), piece.size()) == piece.size();
        if (!written && !cause)
            cause = errno;
        return written;
    });
    if (givenUp) {
        file.cancelWriting();
        return givenUp;
    }
    // WORKAROUND: QSaveFile::commit() ignores a failure to flush its buffer (a full disk) and
    // puts the cut-off file in place; an explicit flush reports it.
    errno = 0;
    if (!written || !file.flush()) {
        const QString reason = writeFailureCause(cause ? cause : errno, file.errorString());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

std::optional<QString> keepUnreadableFileAside(const QString& path, const QDateTime& now)
{
    const QString stem =
        path + QStringLiteral(".unreadable-") + now.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int copy = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++copy)
        aside = stem + QLatin1Char('-') + QString::number(copy);
    if (!QFile::rename(path, aside))
        return std::nullopt;
    return aside;
}

void setWriteFailureForTesting(std::function<std::optional<QString>(const QString& path)> failure)
{
    injectedWriteFailure = std::move(failure);
}

std::optional<FileStamp> openFileStamp(int descriptor)
{
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0)
        return std::nullopt;
    constexpr qint64 nanosecondsPerSecond = 1'000'000'000;
    return FileStamp{qint64(status.st_size),
                     qint64(status.st_mtim.tv_sec) * nanosecondsPerSecond + status.st_mtim.tv_nsec,
                     qint64(status.st_ctim.tv_sec) * nanosecondsPerSecond + status.st_ctim.tv_nsec};
}

} // namespace Platform
