#pragma once

#include <QUuid>

// What the bar shows: the history, one pinboard, or the browser shelf.
struct BarSource {
    enum class Kind { history, pinboard, browserShelf };

    Kind kind = Kind::history;
    // Set only for Kind::pinboard.
    QUuid pinboardID;

    static BarSource history() { return {}; }
    static BarSource pinboard(const QUuid& id) { return {Kind::pinboard, id}; }
    static BarSource browserShelf() { return {Kind::browserShelf, {}}; }

    bool operator==(const BarSource&) const = default;
};
