#include "Platform/linux/JsonFileDefaults.h"

#include "Platform/FileSystem.h"
#include "Platform/SystemLog.h"

#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>

namespace Platform {

JsonFileDefaults::JsonFileDefaults(QString path)
    : path_(std::move(path))
{
    load();
}

QString JsonFileDefaults::standardPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Vellora/preferences.json");
}

QJsonValue JsonFileDefaults::value(const QString& key) const
{
    return values_.value(key);
}

void JsonFileDefaults::setValue(const QString& key, const QJsonValue& value)
{
    if (values_.value(key) == value && values_.contains(key))
        return;
    values_.insert(key, value);
    write();
}

void JsonFileDefaults::remove(const QString& key)
{
    if (!values_.contains(key))
        return;
    values_.remove(key);
    write();
}

void JsonFileDefaults::saveIfNeeded()
{
    if (unsaved_)
        write();
}

void JsonFileDefaults::load()
{
    QFile file(path_);
    if (!file.exists())
        return;
    if (file.open(QIODevice::ReadOnly)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error == QJsonParseError::NoError && document.isObject()) {
            values_ = document.object();
            return;
        }
    }
    file.close();
    unreadableFile_ = keepUnreadableFileAside(path_, QDateTime::currentDateTime());
    unreadableInPlace_ = !unreadableFile_;
    if (unreadableInPlace_)
        unreadableFile_ = path_;
}

void JsonFileDefaults::write()
{
    const std::optional<QString> error = tryWrite();
    if (!error) {
        unsaved_ = false;
        failureTold_ = false;
        return;
    }
    if (!unsaved_)
        systemLog().write(
            QStringLiteral("Vellora: preferences could not be written to %1: %2").arg(path_, *error));
    unsaved_ = true;
    if (saveFailed && !failureTold_) {
        failureTold_ = true;
        saveFailed(path_);
    }
}

std::optional<QString> JsonFileDefaults::tryWrite()
{
    if (unreadableInPlace_) {
        const std::optional<QString> aside = keepUnreadableFileAside(path_, QDateTime::currentDateTime());
        if (!aside)
            return QStringLiteral("the unreadable file can't be set aside");
        unreadableFile_ = aside;
        unreadableInPlace_ = false;
    }
    return writeFileAtomically(path_, QJsonDocument(values_).toJson(QJsonDocument::Indented));
}

} // namespace Platform
