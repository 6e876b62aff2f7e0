#pragma once

#include "Models/ClipItem.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// A named, coloured list of clips kept apart from the history. A plain value;
// `modifiedAt` changes with the name, colour or clips and decides merges.
struct Pinboard {
    QUuid id = QUuid::createUuid();
    QString name;
    QString colorHex;
    QList<ClipItem> clips;
    std::optional<bool> isCloudPlaceholder;
    QDateTime modifiedAt = QDateTime::currentDateTimeUtc();

    bool operator==(const Pinboard& other) const;

    QJsonObject toJson() const;
    // None when a field is missing or malformed, or any of its clips is.
    static std::optional<Pinboard> fromJson(const QJsonObject& object);
};
