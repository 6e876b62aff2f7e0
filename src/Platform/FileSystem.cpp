#include "Platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

namespace Platform {

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
    if (const auto error = makePrivateFolder(QFileInfo(path).absolutePath()); error)
        return error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // WORKAROUND: QSaveFile::commit() ignores a failure to flush its buffer (a full disk) and
    // puts the cut-off file in place; an explicit flush reports it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace Platform
