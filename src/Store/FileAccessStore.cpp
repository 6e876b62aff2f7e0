#include "Store/FileAccessStore.h"

#include "Models/JsonCoding.h"
#include "Platform/FileSystem.h"
#include "Platform/LogCategories.h"
#include "Platform/SystemLog.h"
#include "Store/DataDirectory.h"
#include "Util/FileAccessError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

FileAccessStore::Table readTable(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    FileAccessStore::Table table;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (const auto data = JsonCoding::dataFromBase64(it.value().toString());
            it.value().isString() && data)
            table.insert(it.key(), *data);
    }
    return table;
}

QByteArray encodeTable(const FileAccessStore::Table& table)
{
    QJsonObject object;
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        object.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

FileAccessStore& FileAccessStore::shared()
{
    static FileAccessStore store(DataDirectory::local() + QLatin1Char('/') + fileName);
    // Changes that a failed save kept in memory get one more try at quit; a store nobody used
    // has none.
    [[maybe_unused]] static const bool retriesAtQuit =
        qApp &&
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &store, &FileAccessStore::saveIfNeeded);
    return store;
}

FileAccessStore::FileAccessStore(QString filePath, QObject* parent)
    : QObject(parent)
    , filePath_(std::move(filePath))
    , table_(readTable(filePath_))
{}

void FileAccessStore::save(const Table& table)
{
    const bool changed = table != table_;
    table_ = table;
    if (changed)
        emit tableChanged();
    write();
}

void FileAccessStore::saveIfNeeded()
{
    if (!unsaved_)
        return;
    try {
        write();
    } catch (const FileAccessError&) {
        // Logged by write(); nothing is left to tell the user at this point.
    }
}

void FileAccessStore::write()
{
    const QString folder = QFileInfo(filePath_).absolutePath();
    std::optional<FileAccessError> failure;
    if (const auto error = Platform::makePrivateFolder(folder))
        failure.emplace(FileAccessError::Kind::directoryNotWritable, folder, *error);
    else if (const auto error = Platform::writeFileAtomically(filePath_, encodeTable(table_)))
        failure.emplace(FileAccessError::Kind::fileNotWritable, filePath_, *error);
    if (!failure) {
        unsaved_ = false;
        return;
    }
    qCWarning(logStore) << "file permissions could not be saved to" << failure->path() << failure->reason();
    if (!unsaved_)
        Platform::systemLog().write(
            QStringLiteral("Vellora: saved file permissions could not be written to %1: %2")
                .arg(failure->path(), failure->reason()));
    unsaved_ = true;
    throw *failure;
}

void FileAccessStore::grant(const QString& path)
{
    const QString normalised = normalisedPath(path);
    Table next = table_;
    next.insert(normalised, normalised.toUtf8());
    save(next);
}

bool FileAccessStore::hasAccess(const QString& path) const
{
    const QString normalised = normalisedPath(path);
    return table_.contains(normalised) && QFileInfo(normalised).isReadable();
}

QString FileAccessStore::normalisedPath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
