#include "Store/ImageFolder.h"

#include "Platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ImageFolder {

bool isPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

QString fileNameForHash(const QString& hash)
{
    return hash + QStringLiteral(".png");
}

std::optional<QString> path(const QString& dataDirectory, const QString& fileName)
{
    if (!isPlainFileName(fileName))
        return std::nullopt;
    return dataDirectory + QLatin1Char('/') + folderName + QLatin1Char('/') + fileName;
}

std::optional<QString> write(const QString& dataDirectory, const QString& fileName, const QByteArray& png)
{
    const auto target = path(dataDirectory, fileName);
    if (!target)
        return QStringLiteral("not a plain file name: %1").arg(fileName);
    if (QFileInfo::exists(*target))
        return std::nullopt;
    return Platform::writeFileAtomically(*target, png);
}

void removeUnused(const QString& dataDirectory, const QSet<QString>& names, const QSet<QString>& inUse)
{
    for (const QString& name : names) {
        if (inUse.contains(name))
            continue;
        if (const auto target = path(dataDirectory, name))
            QFile::remove(*target);
    }
}

std::optional<QString> copyMissing(const QString& fromDirectory, const QString& toDirectory)
{
    const QString target = toDirectory + QLatin1Char('/') + folderName;
    if (const auto error = Platform::makePrivateFolder(target))
        return error;
    const QDir source(fromDirectory + QLatin1Char('/') + folderName);
    for (const QString& name : source.entryList(QDir::Files)) {
        const QString destination = target + QLatin1Char('/') + name;
        if (!isPlainFileName(name) || QFileInfo::exists(destination))
            continue;
        QFile file(source.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return file.errorString();
        if (const auto error = Platform::writeFileAtomically(destination, file.readAll()))
            return error;
    }
    return std::nullopt;
}

} // namespace ImageFolder
