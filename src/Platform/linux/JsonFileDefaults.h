#pragma once

#include "Platform/Defaults.h"

#include <QJsonObject>

namespace Platform {

// Preferences kept as one JSON object in a file, replaced atomically on every change (mode
// 0600, in a folder created with mode 0700). A missing file loads as empty. A file that
// can't be read loads as empty too and is set aside at once, byte for byte; until that
// succeeds nothing is written over it. A failed write keeps the values in memory and is
// retried on the next change and by saveIfNeeded(); the first failure of a run of failures
// writes one line to the system log, and saveFailed hears of it once.
class JsonFileDefaults final : public Defaults {
public:
    explicit JsonFileDefaults(QString path);

    // $XDG_CONFIG_HOME/Vellora/preferences.json
    static QString standardPath();

    QJsonValue value(const QString& key) const override;
    void setValue(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;

    std::optional<QString> unreadableFile() const override { return unreadableFile_; }
    void saveIfNeeded() override;

    const QString& path() const { return path_; }

private:
    void load();
    void write();
    std::optional<QString> tryWrite();

    QString path_;
    QJsonObject values_;
    std::optional<QString> unreadableFile_;
    // The unreadable file still lies at path_.
    bool unreadableInPlace_ = false;
    bool unsaved_ = false;
    bool failureTold_ = false;
};

} // namespace Platform
