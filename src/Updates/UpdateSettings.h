#pragma once

#include "Updates/DirectUpdateConfiguration.h"
#include "Updates/DirectUpdateDriving.h"
#include "Updates/DistributionChannel.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// Everything about software updates: whether this copy may update itself, the updater made
// on first need and started once, the three updater states mirrored for the menus and the
// Updates page, and the page's status line. Main thread only.
class UpdateSettings final : public QObject {
    Q_OBJECT
public:
    using MakeDriver = std::function<std::unique_ptr<DirectUpdateDriving>(const DirectUpdateConfiguration&)>;

    // The information-file keys the configuration is read from.
    static const QStringList& infoKeys();

    // Made on first use: the direct channel, the main bundle's information keys and the
    // platform's updater.
    static UpdateSettings& shared();

    // `info` is read only on the direct channel.
    UpdateSettings(DistributionChannel channel, const QJsonObject& info, MakeDriver makeDriver,
                   QObject* parent = nullptr);
    ~UpdateSettings() override;

    DistributionChannel channel() const { return channel_; }
    const std::optional<DirectUpdateConfiguration>& configuration() const { return configuration_; }
    // On the direct channel with a valid configuration.
    bool isConfigured() const;

    bool canCheck() const { return canCheck_; }
    // In the language in use when read.
    std::optional<QString> status() const;
    bool automaticChecks() const { return automaticChecks_; }
    void setAutomaticChecks(bool on);
    bool automaticDownloads() const { return automaticDownloads_; }
    void setAutomaticDownloads(bool on);

    // Makes and starts the updater once; a failed start is tried again next time.
    void startIfNeeded();
    // A user-initiated check, starting the updater first when needed.
    void check();

signals:
    void canCheckChanged(bool canCheck);
    void statusChanged();
    void automaticChecksChanged(bool on);
    void automaticDownloadsChanged(bool on);

private:
    void refresh();
    void setCanCheck(bool canCheck);
    void setStatus(const std::optional<QString>& status);
    void mirrorAutomaticChecks(bool on);
    void mirrorAutomaticDownloads(bool on);

    DistributionChannel channel_;
    std::optional<DirectUpdateConfiguration> configuration_;
    MakeDriver makeDriver_;
    std::unique_ptr<DirectUpdateDriving> driver_;
    bool started_ = false;
    bool canCheck_ = false;
    std::optional<QString> status_; // in English
    bool automaticChecks_ = false;
    bool automaticDownloads_ = false;
};
