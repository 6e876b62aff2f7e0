#pragma once

#include "Store/StoreSnapshot.h"

#include <QSet>
#include <QUuid>

// Merging two versions of the store, as two machines wrote them:
// - deletions are the union of both, the later deletion time kept; a deleted identifier
//   never comes back;
// - history clips are the union by identifier; of two versions of one clip the one with
//   the later modification time wins (equal times: the one with the greater encoding, so
//   that both machines choose the same); the history is ordered newest first; of clips
//   with the same content only the newest stays and the others are recorded as deleted;
// - pinboards merge the same way as whole records, in the local order, with pinboards
//   only the remote side has appended in its order.
// `withheld` are local clips whose deletion waits for undo: they don't come back either.
namespace StoreMerge {
StoreSnapshot merge(const StoreSnapshot& local, const StoreSnapshot& remote,
                    const QSet<QUuid>& withheld = {});
} // namespace StoreMerge
