#pragma once

#include <QString>
#include <optional>

// How this copy is distributed.
enum class DistributionChannel {
    appStore, // through a store or package archive: no in-application updates
    direct,   // directly: in-application updates when configured
};

namespace DistributionChannels {
// "app-store" or "direct".
QString rawValue(DistributionChannel channel);
// Exactly the two raw values; none for any other text.
std::optional<DistributionChannel> fromRawValue(const QString& raw);
} // namespace DistributionChannels
