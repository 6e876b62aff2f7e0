#pragma once

#include "Platform/CloudContainer.h"

namespace Platform {

// Linux builds carry no code signature and this system has no cloud database service: the
// copy is entitled to no container, and a query (never made by the application) fails.
class UnsignedCloudContainer final : public CloudContainer {
public:
    std::optional<CodeSigningInformation> signingInformation() const override;
    CloudQueryPage query(const CloudQuery& query) override;
    CloudQueryPage continueQuery(const QString& containerIdentifier, const QByteArray& cursor,
                                 const QStringList& desiredKeys, int resultsLimit) override;
};

} // namespace Platform
