#include "Models/ClipSearchFilter.h"

bool ClipSearchFilter::matches(const ClipItem& item, const QDateTime& now) const
{
    if (type && item.type != *type)
        return false;
    if (sourceBundleID && item.sourceBundleID != sourceBundleID)
        return false;
    return ClipDateFilters::includes(date, item.createdAt, now);
}
