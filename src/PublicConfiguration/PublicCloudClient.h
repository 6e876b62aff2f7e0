#pragma once

#include "PublicConfiguration/PublicCloudSettings.h"
#include "PublicConfiguration/PublicConfiguration.h"

namespace Platform {
class CloudContainer;
} // namespace Platform

// Reads the one public configuration record of the container's public database.
class PublicCloudClient {
public:
    static constexpr int maxRecords = 2;

    explicit PublicCloudClient(PublicCloudSettings settings);
    PublicCloudClient(PublicCloudSettings settings, Platform::CloudContainer& container);

    // Blocks on the service: call it off the main thread. Throws Platform::CloudError as the
    // service reports it, PublicConfigurationError (missingOrDuplicateRecord unless exactly
    // one record matches, or the record's own errors) or PublicConfigurationDecodingError.
    PublicConfiguration fetch() const;

private:
    PublicCloudSettings settings_;
    Platform::CloudContainer* container_;
};
