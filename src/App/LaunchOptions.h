#pragma once

#include "UI/Appearance.h"

#include <QStringList>
#include <optional>

// What the command line asks for.
struct LaunchOptions {
    bool demo = false;                        // "--demo"
    std::optional<AppearanceMode> appearance; // "--appearance" system|light|dark
    bool demoPasteToTextEditor = false;       // "--demo-paste-to-textedit"
    bool settings = false;                    // "--settings": open the settings window

    // Unknown arguments are ignored, as is a value after "--appearance" that names no
    // appearance (the saved appearance then applies).
    static LaunchOptions parse(const QStringList& arguments);
    bool operator==(const LaunchOptions&) const = default;
};
