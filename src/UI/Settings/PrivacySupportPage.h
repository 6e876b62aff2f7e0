#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

// The pages of the Privacy and Support window, stored by their raw values.
enum class PrivacySupportPage { privacy, support };

namespace PrivacySupportPages {
// All pages in order: privacy, support.
const QList<PrivacySupportPage>& allCases();
// "privacy", "support".
QString rawValue(PrivacySupportPage page);
// Exactly the two raw values; none for anything else.
std::optional<PrivacySupportPage> fromRawValue(const QString& raw);
// "Privacy Policy" or "Help & Support" in the language in effect.
QString title(PrivacySupportPage page);
// The support page of the product web site.
const QUrl& onlineSupportURL();
} // namespace PrivacySupportPages
