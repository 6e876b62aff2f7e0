#pragma once

#include <QFont>
#include <QSizeF>
#include <QStringList>

// The lines of a card's text preview that fit its box, each at most the box wide. Prose wraps
// at word boundaries, its wrapped lines keeping the indentation of the line they come from; a
// word or address wider than the box is elided with "…" (an address in the middle), and when
// text is left out the last line ends with "…". Code keeps its lines, its indentation and its
// tabs (as spaces to the next stop) and is elided at the right.
struct ClipCardText {
    static constexpr int tabColumns = 4;

    QStringList lines;
    // Whether any of the text is not shown.
    bool leftOut = false;

    // `more` says that the text is already the head of a longer one.
    static ClipCardText layout(const QString& text, const QFont& font, const QSizeF& box, bool isCode,
                               bool more = false);
};
