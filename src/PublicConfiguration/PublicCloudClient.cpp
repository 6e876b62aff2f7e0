#include "PublicConfiguration/PublicCloudClient.h"

#include "Platform/CloudContainer.h"
#include "PublicConfiguration/PublicCloudRecord.h"
#include "PublicConfiguration/PublicConfigurationError.h"

namespace {

// A service that keeps sending empty pages with cursors is not followed for ever.
constexpr int maxPages = 100;

// Appends the page's records in order; a failed match throws its error at once.
void gather(const Platform::CloudQueryPage& page, QList<Platform::CloudRecord>& records)
{
    for (const auto& match : page.matches) {
        if (const auto* error = std::get_if<Platform::CloudError>(&match))
            throw *error;
        records.append(std::get<Platform::CloudRecord>(match));
    }
}

} // namespace

PublicCloudClient::PublicCloudClient(PublicCloudSettings settings)
    : PublicCloudClient(std::move(settings), Platform::cloudContainer())
{}

PublicCloudClient::PublicCloudClient(PublicCloudSettings settings, Platform::CloudContainer& container)
    : settings_(std::move(settings))
    , container_(&container)
{}

PublicConfiguration PublicCloudClient::fetch() const
{
    const QStringList desiredKeys = PublicCloudRecord::desiredKeys();
    Platform::CloudQuery query;
    query.containerIdentifier = settings_.containerIdentifier;
    query.recordType = QString::fromLatin1(PublicCloudRecord::recordType);
    query.predicateKey = QStringLiteral("configKey");
    query.predicateValue = QString::fromLatin1(PublicCloudRecord::configKey);
    query.desiredKeys = desiredKeys;
    query.resultsLimit = maxRecords;

    QList<Platform::CloudRecord> records;
    Platform::CloudQueryPage page = container_->query(query);
    gather(page, records);
    for (int pages = 1; page.cursor && records.size() < maxRecords; ++pages) {
        if (pages == maxPages)
            throw PublicConfigurationError(PublicConfigurationError::Kind::missingOrDuplicateRecord);
        page = container_->continueQuery(settings_.containerIdentifier, *page.cursor, desiredKeys,
                                         maxRecords - int(records.size()));
        gather(page, records);
    }
    if (records.size() != 1)
        throw PublicConfigurationError(PublicConfigurationError::Kind::missingOrDuplicateRecord);
    return PublicConfiguration::fromRecord(records.first());
}
