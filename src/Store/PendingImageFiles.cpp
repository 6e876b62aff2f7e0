#include "Store/PendingImageFiles.h"

void PendingImageFiles::saveFinished(const StoreSaveResult& result, const QSet<QString>& inUse)
{
    if (result.status != StoreSaveResult::Status::written) {
        removals_ += result.imageRemovals;
        return;
    }
    for (const QString& name : result.writtenImages) {
        if (!result.imageRemovals.contains(name) || !inUse.contains(name))
            unwritten_.remove(name);
    }
}
