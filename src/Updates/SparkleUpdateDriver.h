#pragma once

#include "Platform/SoftwareUpdaterDelegate.h"
#include "Platform/UpdateFramework.h"
#include "Updates/DirectUpdateConfiguration.h"
#include "Updates/DirectUpdateDriving.h"

#include <QList>
#include <QMetaObject>
#include <memory>

namespace Platform {
class Bundle;
} // namespace Platform

// The updater of a directly distributed copy: the update framework's standard user driver
// and its updater for the application's own bundle, answering the updater's feed and
// channel questions and telling UpdateSettings, on the main thread, whenever the updater's
// ability to check or one of its two automatic choices changed.
class SparkleUpdateDriver final : public DirectUpdateDriving, public Platform::SoftwareUpdaterDelegate {
public:
    // The framework defaults to the platform's; it must be complete.
    SparkleUpdateDriver(DirectUpdateConfiguration configuration, const Platform::Bundle& hostBundle,
                        const Platform::UpdateFramework& framework = Platform::updateFramework());
    ~SparkleUpdateDriver() override;

    bool canCheckForUpdates() const override;
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool on) override;
    bool automaticallyDownloadsUpdates() const override;
    void setAutomaticallyDownloadsUpdates(bool on) override;
    void setStateDidChange(std::function<void()> callback) override;
    void start() override;
    void checkForUpdates() override;

    std::optional<QString> feedURLString(const Platform::SoftwareUpdater& updater) const override;
    QSet<QString> allowedChannels(const Platform::SoftwareUpdater& updater) const override;

private:
    void observe(void (Platform::SoftwareUpdater::*changed)());

    DirectUpdateConfiguration configuration_;
    std::unique_ptr<Platform::SoftwareUpdater> updater_;
    std::unique_ptr<Platform::UpdateUserDriver> userDriver_;
    QList<QMetaObject::Connection> observations_;
    std::function<void()> stateDidChange_;
    // Held weakly by the observations' handlers, which may run on any thread.
    std::shared_ptr<SparkleUpdateDriver*> self_;
};
