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

void JsonFileDefaults::load()
{
    QFile file(path_);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        loadFailed_ = true;
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        loadFailed_ = true;
        return;
    }
    values_ = document.object();
}

void JsonFileDefaults::write()
{
    const QByteArray bytes = QJsonDocument(values_).toJson(QJsonDocument::Indented);
    if (const auto error = writeFileAtomically(path_, bytes); error)
        systemLog().write(QStringLiteral("Vellora: preferences could not be written: ") + *error);
    else
        loadFailed_ = false;
}

} // namespace Platform
