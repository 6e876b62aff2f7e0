#pragma once

#include "PublicConfiguration/PublicConfiguration.h"
#include "PublicConfiguration/PublicConfigurationDecodingError.h"
#include "PublicConfiguration/PublicConfigurationError.h"

#include <QString>
#include <functional>
#include <gtest/gtest.h>

namespace PublicConfigurationTesting {

inline PublicProduct product(const QString& id, qint64 sortOrder = 0, bool enabled = true)
{
    return PublicProduct{id,
                         QStringLiteral("Name of ") + id,
                         QStringLiteral("中文简介"),
                         QStringLiteral("Summary"),
                         QStringLiteral("https://example.com/") + id,
                         enabled,
                         sortOrder};
}

// A record that passes validation, with a cloud revision.
inline PublicConfiguration validConfiguration(qint64 revision = 3)
{
    PublicConfiguration c;
    c.schemaVersion = 1;
    c.revision = revision;
    c.authorName = QStringLiteral("Example Maker");
    c.authorBioZh = QStringLiteral("中文简介");
    c.authorBioEn = QStringLiteral("English biography");
    c.websiteURL = QStringLiteral("https://example.com");
    c.products = {product(QStringLiteral("alpha"), 2), product(QStringLiteral("beta"), 1)};
    return c;
}

// A text of exactly `bytes` UTF-8 bytes: "é" (2 bytes) repeated, then "a" when odd.
inline QString textOfBytes(qsizetype bytes)
{
    return QString(bytes / 2, QChar(0x00E9)) + (bytes % 2 ? QStringLiteral("a") : QString());
}

// Which error `work` throws: "none", the PublicConfigurationError case name, "decoding"
// or "other".
inline std::string thrownCase(const std::function<void()>& work)
{
    try {
        work();
    } catch (const PublicConfigurationError& e) {
        return e.what();
    } catch (const PublicConfigurationDecodingError&) {
        return "decoding";
    } catch (...) {
        return "other";
    }
    return "none";
}

} // namespace PublicConfigurationTesting
