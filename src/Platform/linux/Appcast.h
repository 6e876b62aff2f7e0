#pragma once

#include "Platform/AppcastItem.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <optional>
#include <stdexcept>

namespace Platform {

// An update feed: an RSS document whose items carry a version, a short version, a channel
// and an enclosure with the file's url, length and Ed25519 signature. Element and attribute
// names are matched without their prefix ("sparkle:version" and "version" alike).
namespace Appcast {

class MalformedError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The items that have a version and an enclosure with an https url, a positive length and
// a Base64 signature; other items are passed over, so an update that could not be downloaded
// is never offered. Throws MalformedError when the document is not well-formed RSS.
QList<AppcastItem> parse(const QByteArray& document);

// The newest item newer than `installedVersion` whose channel is empty or in `channels`.
std::optional<AppcastItem> bestUpdate(const QList<AppcastItem>& items, const QString& installedVersion,
                                      const QSet<QString>& channels);

// Compares two versions part by part: runs of digits as numbers, other runs as text, so that
// "1.10" is newer than "1.9" and "2.0" newer than "2.0b1". Negative, zero or positive.
int compareVersions(const QString& a, const QString& b);

} // namespace Appcast

} // namespace Platform
