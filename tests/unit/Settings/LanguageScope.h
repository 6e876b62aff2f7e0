#pragma once

#include "Util/Localization.h"

// Chooses a language for the life of a test and restores the previous choice.
class LanguageScope {
public:
    explicit LanguageScope(AppLanguage language)
        : previous_(Localization::shared().language())
    {
        Localization::shared().setLanguage(language);
    }
    ~LanguageScope() { Localization::shared().setLanguage(previous_); }
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

private:
    AppLanguage previous_;
};
