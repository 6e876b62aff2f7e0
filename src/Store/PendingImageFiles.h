#pragma once

#include "Store/StoreFileIO.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// The image files a save still has to see to: those captured and not yet known to be on disk,
// and those to remove once a written store file no longer names them.
class PendingImageFiles {
public:
    void add(const QString& fileName, const QByteArray& png) { unwritten_.insert(fileName, png); }
    const QHash<QString, QByteArray>& unwritten() const { return unwritten_; }
    void markForRemoval(const QSet<QString>& fileNames) { removals_ += fileNames; }
    // The removals for a save to make, taken.
    QSet<QString> takeRemovals() { return std::exchange(removals_, {}); }
    // After a save: what it wrote is on disk, what it did not remove is still to remove. An
    // image removed but named again by `inUse` (captured again meanwhile) stays to be written.
    void saveFinished(const StoreSaveResult& result, const QSet<QString>& inUse);

private:
    QHash<QString, QByteArray> unwritten_;
    QSet<QString> removals_;
};
