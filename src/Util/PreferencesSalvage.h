#pragma once

#include "Util/AppLanguage.h"

#include <QString>
#include <optional>

// What can still be read from a preferences file that does not parse.
namespace PreferencesSalvage {

// The language chosen in the file ("dorvaneLanguage"), when it holds exactly one such entry
// with a known value, so that the user hears about the file in their own language.
std::optional<AppLanguage> languageChoice(const QString& unreadableFile);

} // namespace PreferencesSalvage
