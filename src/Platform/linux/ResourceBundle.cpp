#include "Platform/linux/ResourceBundle.h"

#include <QFile>
#include <QJsonDocument>

namespace Platform {

ResourceBundle::ResourceBundle()
{
    QFile file(QStringLiteral(":/Info.json"));
    if (file.open(QIODevice::ReadOnly))
        info_ = QJsonDocument::fromJson(file.readAll()).object();
}

QJsonValue ResourceBundle::infoValue(const QString& key) const
{
    return info_.value(key);
}

QString ResourceBundle::resourceRoot() const
{
    return QStringLiteral(":/") + QString::fromLatin1(resourceBundleName);
}

} // namespace Platform
