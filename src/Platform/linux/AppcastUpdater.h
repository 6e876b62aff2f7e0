#pragma once

#include "Platform/AppcastItem.h"
#include "Platform/HttpsGet.h"
#include "Platform/SoftwareUpdater.h"
#include "Platform/SoftwareUpdaterDelegate.h"
#include "Platform/UpdateFailure.h"
#include "Platform/UpdateUserDriver.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSslConfiguration>
#include <QTimer>
#include <functional>
#include <memory>

namespace Platform {

class Bundle;
class Defaults;

// The Linux updater: reads the delegate's feed over HTTPS, offers the newest release on an
// allowed channel that is newer than the application's "CFBundleVersion", downloads it,
// checks its length and its Ed25519 signature against the application's "SUPublicEDKey",
// and installs it: a copy running as an AppImage is replaced in one step and relaunched,
// any other copy gets the verified file placed in the downloads folder (an AppImage ready to
// run) and revealed. The two automatic choices are kept in the defaults; automatic checks run
// a minute after the start and then daily, silently unless they find something. Main thread
// only.
class AppcastUpdater final : public SoftwareUpdater {
    Q_OBJECT
public:
    static constexpr qint64 maxFeedBytes = 1024 * 1024;
    static constexpr int silenceMs = 30'000;
    static constexpr int firstCheckDelayMs = 60'000;
    static constexpr int checkIntervalMs = 24 * 60 * 60 * 1000;

    // What differs between a running copy and a test.
    struct Environment {
        QSslConfiguration tls;
        int firstCheckDelayMs = AppcastUpdater::firstCheckDelayMs;
        int checkIntervalMs = AppcastUpdater::checkIntervalMs;
        int silenceMs = AppcastUpdater::silenceMs;
        // Where downloads are received and where a verified one is left for the user.
        QString downloadFolder;
        // The running AppImage ($APPIMAGE); empty for any other copy.
        QString appImagePath;
        std::function<bool(const QString& path)> reveal;
        std::function<void(const QString& appImagePath)> relaunch;

        // The running copy's: the system's trust, the user's downloads folder, $APPIMAGE,
        // the file manager, and a relaunch that starts the new file and quits.
        static Environment system();
    };

    // The path of the AppImage this process runs from ($APPIMAGE); empty for any other copy.
    static QString runningAppImage();

    static constexpr const char* automaticChecksKey = "SUEnableAutomaticChecks";
    static constexpr const char* automaticDownloadsKey = "SUAutomaticallyUpdate";
    static constexpr const char* skippedVersionKey = "SUSkippedVersion";

    AppcastUpdater(const Bundle& application, UpdateUserDriver& userDriver, SoftwareUpdaterDelegate& delegate,
                   Defaults& defaults, Environment environment);
    ~AppcastUpdater() override;

    bool canCheckForUpdates() const override;
    bool automaticallyChecksForUpdates() const override;
    void setAutomaticallyChecksForUpdates(bool on) override;
    bool automaticallyDownloadsUpdates() const override;
    void setAutomaticallyDownloadsUpdates(bool on) override;
    void startUpdater() override;
    void checkForUpdates() override;

private:
    void scheduleAutomaticChecks();
    void checkAutomatically();
    void begin(bool userInitiated);
    void end();
    void readFeed();
    void feedRead();
    void offer(const AppcastItem& item);
    void download(const AppcastItem& item);
    void downloaded(const AppcastItem& item);
    void install(const AppcastItem& item);
    void fail(UpdateFailure failure);
    void cancel();
    // Ends the transfer without hearing from it again.
    void dropTransfer();
    // Ends the transfer and deletes what it received.
    void discard();
    QString installedVersion() const;
    QString installedShortVersion() const;

    const Bundle& application_;
    UpdateUserDriver& userDriver_;
    SoftwareUpdaterDelegate& delegate_;
    Defaults& defaults_;
    Environment environment_;
    QNetworkAccessManager network_;
    QTimer schedule_;
    bool started_ = false;
    bool inSession_ = false;
    // The user asked for this check or chose to install: progress and failures are shown.
    bool interactive_ = false;
    std::unique_ptr<HttpsGet> get_;
    std::unique_ptr<QFile> file_;
};

} // namespace Platform
