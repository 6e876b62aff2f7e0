#pragma once

#include "AI/ModelError.h"
#include "Util/Localization.h"

#include <QString>
#include <functional>
#include <gtest/gtest.h>

// Messages are asserted in English, whatever the machine's language.
inline void useEnglish()
{
    Localization::shared().setLanguage(AppLanguage::english);
}

// The error the call throws, or none.
inline std::optional<ModelError> thrownBy(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ModelError& error) {
        return error;
    }
    return std::nullopt;
}
