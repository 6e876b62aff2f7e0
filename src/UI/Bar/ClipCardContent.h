#pragma once

#include "Models/ClipItem.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QTextDocument;

// What a card shows of a clip, computed once per clip version: its title, a short plain-text
// preview, a link's host, file names or a colour. Large texts are cut before any line work,
// so a clip of many megabytes costs no more than a short one.
struct ClipCardContent {
    static constexpr qsizetype maxPreviewCharacters = 600;
    static constexpr qsizetype maxPreviewLines = 8;
    static constexpr qsizetype maxFileNames = 4;

    // The custom title, else the kind ("Text", "Link", "3 Files", …), localised.
    QString title;
    // Text clips: the first lines; links: the address; files: the names; colours: the hex.
    QString preview;
    // Links: the host of the address; empty otherwise.
    QString linkHost;
    QStringList fileNames;
    std::optional<QColor> color;
    // Text clips: whether the text reads as code (VelloraTypography::isCode); its preview
    // then keeps the indentation.
    bool isCode = false;
    // Text clips: the length of the whole text, and whether the preview leaves some out.
    qsizetype length = 0;
    bool cut = false;
    // Rich-text clips with HTML: the formatted preview, built offline; none otherwise.
    std::shared_ptr<QTextDocument> richText;

    bool operator==(const ClipCardContent&) const = default;

    static ClipCardContent of(const ClipItem& item);
    // The kind of a clip as its card names it, localised.
    static QString kindTitle(const ClipItem& item);
};
