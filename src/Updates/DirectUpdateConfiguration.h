#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <optional>

// Where a directly distributed copy finds its updates and the key that signs them, from the
// information-file keys "VelloraDistributionChannel", "SUFeedURL" and "SUPublicEDKey".
struct DirectUpdateConfiguration {
    QUrl feedURL;
    // The Base64 text as written in the information file, validated but not decoded.
    QString publicKey;

    // None unless the channel is exactly "direct", the feed is an https address with a host
    // and no user, password, query or fragment, and the key is Base64 of exactly 32 bytes.
    static std::optional<DirectUpdateConfiguration> fromInfo(const QJsonObject& info);

    bool operator==(const DirectUpdateConfiguration&) const = default;
};
