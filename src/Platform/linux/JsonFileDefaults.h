#pragma once

#include "Platform/Defaults.h"

#include <QJsonObject>

namespace Platform {

// Preferences kept as one JSON object in a file. A missing or unreadable file loads as
// empty and stays untouched until the first write, which replaces it atomically
// (mode 0600, in a folder created with mode 0700).
class JsonFileDefaults final : public Defaults {
public:
    explicit JsonFileDefaults(QString path);

    // $XDG_CONFIG_HOME/Vellora/preferences.json
    static QString standardPath();

    QJsonValue value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

    const QString& path() const { return path_; }
    // True when the file existed but was not a JSON object.
    bool loadFailed() const { return loadFailed_; }

private:
    void load();
    void write();

    QString path_;
    QJsonObject values_;
    bool loadFailed_ = false;
};

} // namespace Platform
