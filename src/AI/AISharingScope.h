#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

struct ModelConfiguration;

// What one send shares with a service. A stored grant of the same shape records the
// user's consent.
struct AISharingScope {
    QString endpoint; // the endpoint's absolute URL
    bool includesImages = false;
    bool includesResponsePreferences = false; // response instructions (a system prompt) go along
    std::optional<qint64> historyTurnLimit;   // none: every earlier turn

    bool operator==(const AISharingScope&) const = default;

    // The scope of a send with this configuration: images when the model takes them and a
    // material holds one, response preferences when the system prompt is not blank, the
    // configuration's history limit. Throws ModelError for an invalid endpoint.
    static AISharingScope make(const ModelConfiguration& configuration, bool materialsHoldImages);

    // This grant covers the other scope: the same endpoint, images and response preferences
    // when the other has them, and a history limit that is unlimited or at least the other's.
    bool covers(const AISharingScope& other) const;

    QJsonObject toJson() const;
    static std::optional<AISharingScope> fromJson(const QJsonObject& object);
};
