#pragma once

#include "PublicConfiguration/PublicConfiguration.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// The cache file of the last successful cloud read: {"identity", "fetchedAt", "value"},
// "fetchedAt" in seconds since 2001-01-01 00:00:00 UTC.
struct PublicConfigurationCache {
    // Both reading and writing refuse a larger file.
    static constexpr qsizetype maxBytes = 262'144;

    QString identity;
    QDateTime fetchedAt;
    PublicConfiguration value;

    // Compact JSON, every key written.
    QByteArray encoded() const;
    // All three keys required. Throws PublicConfigurationDecodingError.
    static PublicConfigurationCache decode(const QByteArray& bytes);

    // The cache at `path` when it is usable by `identity` at `now`: at most maxBytes,
    // decodable, of the same identity, with a cloud revision (1 or more), fetched at a time
    // not later than `now`, and valid. Never changes the file.
    static std::optional<PublicConfigurationCache> load(const QString& path, const QString& identity,
                                                        const QDateTime& now);

    // Replaces the file in one step, private to the user like the history's files. Throws
    // PublicConfigurationError::invalidData when the encoding exceeds maxBytes, and
    // std::runtime_error when the folder or the file can't be written.
    void write(const QString& path) const;

    bool operator==(const PublicConfigurationCache& other) const = default;
};
