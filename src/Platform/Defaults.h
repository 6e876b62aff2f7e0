#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace Platform {

// The user-defaults store: one JSON object of preferences keyed by name.
// Readers get std::nullopt when a key is missing or holds a value of another type,
// so that each caller falls back to its own default for that key alone.
class Defaults {
public:
    virtual ~Defaults() = default;

    // QJsonValue::Undefined when the key is missing.
    virtual QJsonValue value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QJsonValue& value) = 0;
    virtual void remove(const QString& key) = 0;

    bool contains(const QString& key) const { return !value(key).isUndefined(); }
    std::optional<bool> boolValue(const QString& key) const;
    // Whole numbers only; 3.0 reads as 3, 3.5 does not read.
    std::optional<qint64> intValue(const QString& key) const;
    std::optional<double> doubleValue(const QString& key) const;
    std::optional<QString> stringValue(const QString& key) const;
    // An array whose every element is a string.
    std::optional<QStringList> stringListValue(const QString& key) const;

    void setBool(const QString& key, bool v) { setValue(key, v); }
    void setInt(const QString& key, qint64 v) { setValue(key, v); }
    void setDouble(const QString& key, double v) { setValue(key, v); }
    void setString(const QString& key, const QString& v) { setValue(key, v); }
    void setStringList(const QString& key, const QStringList& v);

    // Where the bytes of a preferences file that could not be read at load are kept: the
    // file set aside, or the file itself while it can't be moved (nothing is written then).
    // None when the file was read or did not exist.
    virtual std::optional<QString> unreadableFile() const { return std::nullopt; }
    // Writes what a failed write left in memory; does nothing when everything is saved.
    virtual void saveIfNeeded() {}

    // Told with the file's path when a write fails, once until a write succeeds again (a
    // failure before it was set is told at the next attempt). Called from within the write,
    // so it must not write.
    std::function<void(const QString& path)> saveFailed;
};

// The process-wide store: the preferences file of the user's configuration folder.
Defaults& defaults();
// Tests install an in-memory store; nullptr restores the real one.
void setDefaultsForTesting(Defaults* fake);

} // namespace Platform
