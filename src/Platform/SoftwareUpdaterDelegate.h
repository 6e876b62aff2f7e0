#pragma once

#include <QSet>
#include <QString>
#include <optional>

namespace Platform {

class SoftwareUpdater;

// What an updater asks of the application that drives it.
class SoftwareUpdaterDelegate {
public:
    virtual ~SoftwareUpdaterDelegate() = default;
    // The feed to read; none leaves the updater without one.
    virtual std::optional<QString> feedURLString(const SoftwareUpdater& updater) const = 0;
    // The channels whose items are offered besides those on no channel.
    virtual QSet<QString> allowedChannels(const SoftwareUpdater& updater) const = 0;
};

} // namespace Platform
