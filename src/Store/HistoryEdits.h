#pragma once

#include "Models/ClipItem.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

// The edits of a list of clips that the store makes, as plain functions of the list.
namespace HistoryEdits {

// Texts longer than this are stored cut to this length.
constexpr qsizetype maxTextLength = 4 * 1024 * 1024;
// Rich-text data larger than this is left out; the clip keeps its plain text.
constexpr qsizetype maxRichTextBytes = 16 * 1024 * 1024;

// Cuts contents over the limits above.
void applySizeLimits(ClipItem& item);
// Puts a captured clip on top, or moves the clip it repeats there with the new time; true
// when it is a new image clip.
bool insertCaptured(QList<ClipItem>& history, const ClipItem& item);
// Takes the clips at these indexes out, in their order.
QList<ClipItem> takeAt(QList<ClipItem>& clips, QList<qsizetype> indexes);
// -1 when none has the identifier.
qsizetype indexOf(const QList<ClipItem>& clips, const QUuid& id);
// The image files that the clips name.
QSet<QString> imageNames(const QList<ClipItem>& clips);

} // namespace HistoryEdits
