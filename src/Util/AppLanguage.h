#pragma once

#include <QList>
#include <QString>
#include <optional>

// The language choice, stored by its raw value.
enum class AppLanguage { system, chinese, english, traditionalChinese, japanese };

namespace AppLanguages {
// All cases in order: system, zh-Hans, en, zh-Hant, ja.
const QList<AppLanguage>& allCases();
// "system", "zh-Hans", "en", "zh-Hant", "ja". Also the locale identifier and the name of
// the language's strings folder ("<raw>.lproj").
QString rawValue(AppLanguage language);
std::optional<AppLanguage> fromRawValue(const QString& raw);
} // namespace AppLanguages
