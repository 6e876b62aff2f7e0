#include "Updates/UpdateSettings.h"

#include "Platform/Bundle.h"
#include "Platform/UpdateFramework.h"
#include "Updates/SparkleUpdateDriver.h"
#include "Util/Localization.h"

#include <QPointer>
#include <exception>

namespace {

const QString notAvailableText = QStringLiteral("Automatic updates are not available in this build yet.");

QJsonObject mainBundleInfo()
{
    QJsonObject info;
    for (const QString& key : UpdateSettings::infoKeys()) {
        const QJsonValue value = Platform::mainBundle().infoValue(key);
        if (!value.isUndefined())
            info.insert(key, value);
    }
    return info;
}

// The update framework's driver for the running copy; none in a process without the
// framework's user interface.
std::unique_ptr<DirectUpdateDriving> makePlatformDriver(const DirectUpdateConfiguration& configuration)
{
    if (!Platform::updateFramework().isComplete())
        return nullptr;
    return std::make_unique<SparkleUpdateDriver>(configuration, Platform::mainBundle());
}

} // namespace

const QStringList& UpdateSettings::infoKeys()
{
    static const QStringList keys{QStringLiteral("VelloraDistributionChannel"), QStringLiteral("SUFeedURL"),
                                  QStringLiteral("SUPublicEDKey")};
    return keys;
}

UpdateSettings& UpdateSettings::shared()
{
    // Lives as long as the application, with its updater.
    static auto* instance =
        new UpdateSettings(DistributionChannel::direct, mainBundleInfo(), makePlatformDriver);
    return *instance;
}

UpdateSettings::UpdateSettings(DistributionChannel channel, const QJsonObject& info, MakeDriver makeDriver,
                               QObject* parent)
    : QObject(parent)
    , channel_(channel)
    , makeDriver_(std::move(makeDriver))
{
    if (channel_ == DistributionChannel::direct)
        configuration_ = DirectUpdateConfiguration::fromInfo(info);
    canCheck_ = isConfigured();
}

UpdateSettings::~UpdateSettings() = default;

bool UpdateSettings::isConfigured() const
{
    return channel_ == DistributionChannel::direct && configuration_.has_value();
}

void UpdateSettings::startIfNeeded()
{
    if (channel_ != DistributionChannel::direct || started_)
        return;
    if (!configuration_) {
        setStatus(notAvailableText);
        return;
    }
    if (!driver_ && makeDriver_) {
        driver_ = makeDriver_(*configuration_);
        if (driver_) {
            QPointer<UpdateSettings> self(this);
            driver_->setStateDidChange([self] {
                if (self)
                    self->refresh();
            });
        }
    }
    if (!driver_) {
        setStatus(notAvailableText);
        return;
    }
    try {
        driver_->start();
    } catch (const std::exception&) {
        setStatus(QStringLiteral("The updater could not start. Try again later."));
        return;
    }
    started_ = true;
    setStatus(std::nullopt);
    refresh();
}

void UpdateSettings::check()
{
    if (channel_ != DistributionChannel::direct)
        return;
    startIfNeeded();
    if (!started_ || !driver_)
        return;
    if (!driver_->canCheckForUpdates())
        return;
    driver_->checkForUpdates();
    refresh();
}

void UpdateSettings::refresh()
{
    if (!isConfigured())
        setCanCheck(false);
    else if (!started_)
        setCanCheck(true);
    else
        setCanCheck(driver_ && driver_->canCheckForUpdates());
    mirrorAutomaticChecks(driver_ && driver_->automaticallyChecksForUpdates());
    mirrorAutomaticDownloads(driver_ && driver_->automaticallyDownloadsUpdates());
}

void UpdateSettings::setAutomaticChecks(bool on)
{
    mirrorAutomaticChecks(on);
    if (driver_ && driver_->automaticallyChecksForUpdates() != on)
        driver_->setAutomaticallyChecksForUpdates(on);
}

void UpdateSettings::setAutomaticDownloads(bool on)
{
    mirrorAutomaticDownloads(on);
    if (driver_ && driver_->automaticallyDownloadsUpdates() != on)
        driver_->setAutomaticallyDownloadsUpdates(on);
}

void UpdateSettings::mirrorAutomaticChecks(bool on)
{
    if (automaticChecks_ == on)
        return;
    automaticChecks_ = on;
    emit automaticChecksChanged(on);
}

void UpdateSettings::mirrorAutomaticDownloads(bool on)
{
    if (automaticDownloads_ == on)
        return;
    automaticDownloads_ = on;
    emit automaticDownloadsChanged(on);
}

void UpdateSettings::setCanCheck(bool canCheck)
{
    if (canCheck_ == canCheck)
        return;
    canCheck_ = canCheck;
    emit canCheckChanged(canCheck);
}

std::optional<QString> UpdateSettings::status() const
{
    if (!status_)
        return std::nullopt;
    return Localization::string(*status_);
}

void UpdateSettings::setStatus(const std::optional<QString>& status)
{
    if (status_ == status)
        return;
    status_ = status;
    emit statusChanged();
}
