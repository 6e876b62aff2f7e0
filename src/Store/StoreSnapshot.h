#pragma once

#include "Models/ClipItem.h"
#include "Models/Pinboard.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

// Everything the store file holds: the history (newest first), the pinboards in user
// order, and the identifiers of deleted clips and pinboards with their deletion times,
// which keep a deletion from being undone by a merge.
struct StoreSnapshot {
    QList<ClipItem> history;
    QList<Pinboard> pinboards;
    QHash<QUuid, QDateTime> deletedClips;
    QHash<QUuid, QDateTime> deletedPinboards;

    bool operator==(const StoreSnapshot& other) const;

    // The image files that history and pinboard clips name.
    QSet<QString> imageFileNames() const;
};
