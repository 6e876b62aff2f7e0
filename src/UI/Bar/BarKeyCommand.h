#pragma once

#include "Monitor/PasteFormat.h"
#include "Util/RivEVShortcut.h"

#include <optional>

class QKeyEvent;

// The modifiers and shortcut the bar's keys depend on, as stored masks.
struct BarKeyBindings {
    int quickPasteModifier = RivEVShortcut::commandMask;
    int plainTextModifier = RivEVShortcut::shiftMask;
    RivEVShortcut askAI;
};

// What a key press means to the shown bar. Keys it does not claim go on to the search field.
// Command-A, Command-R and Command-C mean selectAll, refresh and copy; only the browser shelf
// claims them, elsewhere they stay with the search field. Delete (with Option: skipping
// Undo) and Command-Z delete the chosen clip and undo that; the bar claims them only when
// they don't belong to the search field. Tab and Shift-Tab step through History and the
// pinboards.
struct BarKeyCommand {
    enum class Kind {
        none,
        selectPrevious,
        selectNext,
        paste,
        quickPaste,
        hide,
        askAI,
        selectAll,
        refresh,
        copy,
        deleteSelected,
        undoDelete,
        nextSource,
        previousSource
    };

    Kind kind = Kind::none;
    PasteFormat format = PasteFormat::asCaptured;
    // The quick-paste number, 1…9.
    int number = 0;
    // deleteSelected: the clip goes at once, without Undo.
    bool skipUndo = false;

    bool operator==(const BarKeyCommand&) const = default;

    static BarKeyCommand of(const QKeyEvent& event, const BarKeyBindings& bindings);

    // The stored virtual key code of the pressed key: by its place on the keyboard when the
    // platform reports a scan code, else by its Qt key for letters, digits, Return, Enter,
    // Space, Tab and Escape.
    static std::optional<int> virtualKeyCode(const QKeyEvent& event);
};
