#pragma once

#include "AI/ModelConfiguration.h"

#include <QUuid>

// One saved model of the library.
struct SavedModel {
    QUuid id;
    ModelConfiguration configuration;
    bool isEnabled = true;

    bool operator==(const SavedModel&) const = default;

    QJsonObject toJson() const;
    static std::optional<SavedModel> fromJson(const QJsonObject& object);
};

// Identifiers are coded as upper-case UUID strings without braces.
QString uuidString(const QUuid& id);
// None unless the text is a UUID (with or without braces, any case).
std::optional<QUuid> uuidFromString(const QString& text);
