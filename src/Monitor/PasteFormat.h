#pragma once

#include "Models/ClipItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

class QMimeData;

// How a clip is written back to the clipboard.
enum class PasteFormat {
    asCaptured,      // every form the clip holds
    plainText,       // its text only
    cleanedRichText, // structure and emphasis, without fonts, sizes and colours
    markdown,        // its rich text as Markdown text
};

// Clipboard types and their bytes, in the order they are offered.
using PasteboardContents = QList<std::pair<QString, QByteArray>>;

namespace PasteFormats {

// What a clip writes in a format. `imagePng` is the image file of an image clip. Text
// clips and links are their text in every format; images are their PNG in every format; file
// clips are their URLs (with their paths as text), or only the paths as plain text or
// Markdown; colours are the colour with its text (the text it was copied as, else its hex), or
// only that text as plain text or Markdown. Empty when the clip has nothing to write.
PasteboardContents contents(const ClipItem& item, PasteFormat format, const QByteArray& imagePng = {});

// The text of a clip as plain text: its text, or the text of its rich text when it has none.
QString plainText(const ClipItem& item);

// A new QMimeData holding the contents, for the caller to hand to the clipboard.
QMimeData* mimeData(const PasteboardContents& contents);

} // namespace PasteFormats
