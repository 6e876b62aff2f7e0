#pragma once

#include "Models/ClipDateFilter.h"
#include "Models/ClipItem.h"
#include "Models/ClipType.h"

#include <QDateTime>
#include <QString>
#include <optional>

// The bar's filter by kind, source application and date. Unset parts let every clip pass.
struct ClipSearchFilter {
    std::optional<ClipType> type;
    std::optional<QString> sourceBundleID;
    ClipDateFilter date = ClipDateFilter::anyTime;

    bool operator==(const ClipSearchFilter&) const = default;

    bool isActive() const { return type || sourceBundleID || date != ClipDateFilter::anyTime; }
    bool matches(const ClipItem& item, const QDateTime& now) const;
};
