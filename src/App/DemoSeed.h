#pragma once

#include "Models/ClipItem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

class ClipboardStore;

// The sample clips that "--demo" shows: one or more of every kind, from believable source
// applications, a few minutes apart.
namespace DemoSeed {

// A sample clip with the bytes of its image (image clips only).
struct Sample {
    ClipItem item;
    QByteArray png;
};

// The samples, oldest first, the newest made at `now`. The file clip points into
// `dataDirectory` (see writeSampleFile()).
QList<Sample> samples(const QString& dataDirectory, const QDateTime& now);

// Writes the file that the file clip points to, when missing; false when it can't be written.
bool writeSampleFile(const QString& dataDirectory);

// Writes the sample file and adds every sample to the store as a captured clip; samples
// already in the history move to the top instead of repeating. A file clip whose file can't
// be written is left out.
void fill(ClipboardStore& store);

} // namespace DemoSeed
