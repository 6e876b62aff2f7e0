#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <optional>

// The "images" folder of a data directory: one PNG per distinct image, named by its hash,
// so equal images share one file.
namespace ImageFolder {

inline const QString folderName = QStringLiteral("images");

// Names read from a store file are trusted only when they are one plain file name.
bool isPlainFileName(const QString& name);
QString fileNameForHash(const QString& hash);
// The file's path in the data directory; none for a name that is not a plain file name.
std::optional<QString> path(const QString& dataDirectory, const QString& fileName);
// Writes the file atomically unless it is already there. Gives the reason on failure.
std::optional<QString> write(const QString& dataDirectory, const QString& fileName, const QByteArray& png);
// Removes each named file that is not in `inUse`.
void removeUnused(const QString& dataDirectory, const QSet<QString>& names, const QSet<QString>& inUse);
// Copies the images of one data directory that another lacks. Gives the reason of the
// first failure.
std::optional<QString> copyMissing(const QString& fromDirectory, const QString& toDirectory);

} // namespace ImageFolder
