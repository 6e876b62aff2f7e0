#include "Platform/linux/UnsignedCloudContainer.h"

namespace Platform {

namespace {
constexpr const char* noServiceReason = "no cloud database service on this system";
} // namespace

std::optional<CodeSigningInformation> UnsignedCloudContainer::signingInformation() const
{
    return std::nullopt;
}

CloudQueryPage UnsignedCloudContainer::query(const CloudQuery&)
{
    throw CloudError(noServiceReason);
}

CloudQueryPage UnsignedCloudContainer::continueQuery(const QString&, const QByteArray&, const QStringList&,
                                                     int)
{
    throw CloudError(noServiceReason);
}

} // namespace Platform
