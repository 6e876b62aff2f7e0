#include "Updates/DistributionChannel.h"

namespace DistributionChannels {

QString rawValue(DistributionChannel channel)
{
    return channel == DistributionChannel::direct ? QStringLiteral("direct") : QStringLiteral("app-store");
}

std::optional<DistributionChannel> fromRawValue(const QString& raw)
{
    if (raw == QLatin1String("direct"))
        return DistributionChannel::direct;
    if (raw == QLatin1String("app-store"))
        return DistributionChannel::appStore;
    return std::nullopt;
}

} // namespace DistributionChannels
