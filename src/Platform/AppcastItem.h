#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace Platform {

// One release in an update feed.
struct AppcastItem {
    QString title;
    // Compared with the application's "CFBundleVersion".
    QString version;
    // Shown to the user; the version when the feed names none.
    QString shortVersion;
    // Empty for a release offered to everyone.
    QString channel;
    QUrl url;
    qint64 length = 0;
    // The Ed25519 signature of the file, decoded.
    QByteArray signature;

    bool operator==(const AppcastItem&) const = default;
};

} // namespace Platform
