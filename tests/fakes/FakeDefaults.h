#pragma once

#include "Platform/Defaults.h"

#include <QJsonObject>

// Preferences in memory; counts writes so tests can tell what was stored and when.
class FakeDefaults final : public Platform::Defaults {
public:
    QJsonValue value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QJsonValue& value) override
    {
        values.insert(key, value);
        ++writes;
    }
    void remove(const QString& key) override
    {
        values.remove(key);
        ++writes;
    }

    std::optional<QString> unreadableFile() const override { return unreadable; }

    QJsonObject values;
    int writes = 0;
    std::optional<QString> unreadable;
};
