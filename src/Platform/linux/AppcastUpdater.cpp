#include "Platform/linux/AppcastUpdater.h"

#include "Platform/Bundle.h"
#include "Platform/Defaults.h"
#include "Platform/FileSystem.h"
#include "Platform/LogCategories.h"
#include "Platform/Workspace.h"
#include "Platform/linux/Appcast.h"
#include "Platform/linux/Ed25519Signature.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdio>

namespace Platform {

namespace {

constexpr const char* partialSuffix = ".download";
constexpr const char* appImageSuffix = ".AppImage";
// rwxr-xr-x: what a program the user installs is given.
constexpr auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                            QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                            QFileDevice::ExeOther;

UpdateFailure failureOf(HttpsGet::Failure failure)
{
    switch (failure) {
    case HttpsGet::Failure::insecureAddress:
        return UpdateFailure::insecureAddress;
    case HttpsGet::Failure::tooLarge:
        return UpdateFailure::feedTooLarge;
    case HttpsGet::Failure::timedOut:
        return UpdateFailure::timedOut;
    case HttpsGet::Failure::httpStatus:
        return UpdateFailure::serverError;
    case HttpsGet::Failure::network:
    case HttpsGet::Failure::cancelled:
        break;
    }
    return UpdateFailure::unreachable;
}

QString fileNameOf(const AppcastItem& item)
{
    const QString name = QFileInfo(item.url.path()).fileName();
    return name.isEmpty() || name.startsWith(u'.') ? QStringLiteral("Vellora-%1").arg(item.shortVersion)
                                                   : name;
}

// Copies `source` beside `target` and renames it over `target` in one step, executable.
bool replaceAtomically(const QString& source, const QString& target)
{
    const QFileInfo info(target);
    const QString sibling =
        info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".new");
    QFile::remove(sibling);
    if (!QFile::copy(source, sibling) || !QFile::setPermissions(sibling, executable) ||
        std::rename(QFile::encodeName(sibling).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(sibling);
        return false;
    }
    return true;
}

} // namespace

AppcastUpdater::Environment AppcastUpdater::Environment::system()
{
    Environment environment;
    environment.tls = HttpsGet::systemTls();
    environment.downloadFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (environment.downloadFolder.isEmpty())
        environment.downloadFolder = QDir::homePath();
    environment.appImagePath = runningAppImage();
    environment.reveal = [](const QString& path) { return workspace().revealFile(path); };
    environment.relaunch = [](const QString& appImagePath) {
        if (QProcess::startDetached(appImagePath, {}))
            QCoreApplication::quit();
    };
    return environment;
}

QString AppcastUpdater::runningAppImage()
{
    return qEnvironmentVariable("APPIMAGE");
}

AppcastUpdater::AppcastUpdater(const Bundle& application, UpdateUserDriver& userDriver,
                               SoftwareUpdaterDelegate& delegate, Defaults& defaults, Environment environment)
    : application_(application)
    , userDriver_(userDriver)
    , delegate_(delegate)
    , defaults_(defaults)
    , environment_(std::move(environment))
{
    schedule_.setSingleShot(true);
    connect(&schedule_, &QTimer::timeout, this, &AppcastUpdater::checkAutomatically);
}

AppcastUpdater::~AppcastUpdater()
{
    discard();
}

bool AppcastUpdater::canCheckForUpdates() const
{
    return started_ && !inSession_;
}

bool AppcastUpdater::automaticallyChecksForUpdates() const
{
    return defaults_.boolValue(QLatin1String(automaticChecksKey)).value_or(false);
}

void AppcastUpdater::setAutomaticallyChecksForUpdates(bool on)
{
    if (automaticallyChecksForUpdates() == on)
        return;
    defaults_.setBool(QLatin1String(automaticChecksKey), on);
    scheduleAutomaticChecks();
    emit automaticallyChecksForUpdatesChanged();
}

bool AppcastUpdater::automaticallyDownloadsUpdates() const
{
    return defaults_.boolValue(QLatin1String(automaticDownloadsKey)).value_or(false);
}

void AppcastUpdater::setAutomaticallyDownloadsUpdates(bool on)
{
    if (automaticallyDownloadsUpdates() == on)
        return;
    defaults_.setBool(QLatin1String(automaticDownloadsKey), on);
    emit automaticallyDownloadsUpdatesChanged();
}

void AppcastUpdater::startUpdater()
{
    if (started_)
        return;
    const QUrl feed(delegate_.feedURLString(*this).value_or(QString()), QUrl::StrictMode);
    if (!HttpsGet::isHttps(feed))
        throw UpdaterStartError("the feed is not an https address");
    if (installedVersion().isEmpty())
        throw UpdaterStartError("the application has no CFBundleVersion");
    started_ = true;
    scheduleAutomaticChecks();
    emit canCheckForUpdatesChanged();
}

void AppcastUpdater::checkForUpdates()
{
    if (!canCheckForUpdates())
        return;
    begin(true);
    userDriver_.showCheckingForUpdates([this] { cancel(); });
    readFeed();
}

void AppcastUpdater::scheduleAutomaticChecks()
{
    if (started_ && automaticallyChecksForUpdates())
        schedule_.start(environment_.firstCheckDelayMs);
    else
        schedule_.stop();
}

void AppcastUpdater::checkAutomatically()
{
    schedule_.start(environment_.checkIntervalMs);
    if (inSession_)
        return;
    begin(false);
    readFeed();
}

void AppcastUpdater::begin(bool userInitiated)
{
    inSession_ = true;
    interactive_ = userInitiated;
    emit canCheckForUpdatesChanged();
}

void AppcastUpdater::end()
{
    dropTransfer();
    file_.reset();
    inSession_ = false;
    emit canCheckForUpdatesChanged();
}

void AppcastUpdater::readFeed()
{
    dropTransfer();
    const QUrl feed(delegate_.feedURLString(*this).value_or(QString()));
    qCDebug(logUpdates) << (interactive_ ? "checking" : "checking in the background") << "the feed" << feed;
    get_ = std::make_unique<HttpsGet>(network_, feed, HttpsGet::Limits{maxFeedBytes, environment_.silenceMs},
                                      environment_.tls);
    connect(get_.get(), &HttpsGet::finished, this, &AppcastUpdater::feedRead);
}

void AppcastUpdater::feedRead()
{
    if (const std::optional<HttpsGet::Failure> failure = get_->failure()) {
        fail(failureOf(*failure));
        return;
    }
    QList<AppcastItem> items;
    try {
        items = Appcast::parse(get_->body());
    } catch (const Appcast::MalformedError&) {
        fail(UpdateFailure::malformedFeed);
        return;
    }
    const std::optional<AppcastItem> best =
        Appcast::bestUpdate(items, installedVersion(), delegate_.allowedChannels(*this));
    const bool skipped =
        best && !interactive_ && defaults_.stringValue(QLatin1String(skippedVersionKey)) == best->version;
    qCDebug(logUpdates) << items.size() << "items in the feed; the best is"
                        << (best ? best->version : QStringLiteral("none"))
                        << "skipped by the user:" << skipped;
    if (!best || skipped) {
        if (interactive_)
            userDriver_.showUpToDate(installedShortVersion());
        end();
        return;
    }
    if (!interactive_ && automaticallyDownloadsUpdates() && !environment_.appImagePath.isEmpty()) {
        download(*best);
        return;
    }
    offer(*best);
}

void AppcastUpdater::offer(const AppcastItem& item)
{
    userDriver_.showUpdateFound(item, installedShortVersion(), [this, item](UpdateUserDriver::Choice choice) {
        switch (choice) {
        case UpdateUserDriver::Choice::install:
            interactive_ = true;
            download(item);
            return;
        case UpdateUserDriver::Choice::skip:
            defaults_.setString(QLatin1String(skippedVersionKey), item.version);
            break;
        case UpdateUserDriver::Choice::later:
            break;
        }
        userDriver_.dismiss();
        end();
    });
}

void AppcastUpdater::download(const AppcastItem& item)
{
    if (makePrivateFolder(environment_.downloadFolder)) {
        fail(UpdateFailure::installFailed);
        return;
    }
    file_ = std::make_unique<QFile>(environment_.downloadFolder + u'/' + fileNameOf(item) +
                                    QLatin1String(partialSuffix));
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(UpdateFailure::installFailed);
        return;
    }
    if (interactive_)
        userDriver_.showDownloading([this] { cancel(); });
    // One byte more than announced is already the wrong length.
    dropTransfer();
    get_ =
        std::make_unique<HttpsGet>(network_, item.url, HttpsGet::Limits{item.length, environment_.silenceMs},
                                   environment_.tls, file_.get());
    connect(get_.get(), &HttpsGet::progress, this,
            [this, item](qint64 received) { userDriver_.showDownloadProgress(received, item.length); });
    connect(get_.get(), &HttpsGet::finished, this, [this, item] { downloaded(item); });
}

void AppcastUpdater::downloaded(const AppcastItem& item)
{
    file_->close();
    const std::optional<HttpsGet::Failure> failure = get_->failure();
    if (failure && *failure != HttpsGet::Failure::tooLarge) {
        fail(failureOf(*failure));
        return;
    }
    if (failure || file_->size() != item.length) {
        fail(UpdateFailure::wrongLength);
        return;
    }
    if (!file_->open(QIODevice::ReadOnly)) {
        fail(UpdateFailure::installFailed);
        return;
    }
    const QByteArray key =
        QByteArray::fromBase64(application_.infoString(QStringLiteral("SUPublicEDKey")).toLatin1());
    // Mapped, not read: the file may be large. A file that can't be mapped is a local failure,
    // not a bad signature.
    const qint64 size = file_->size();
    const uchar* mapped = size > 0 ? file_->map(0, size) : nullptr;
    if (size > 0 && !mapped) {
        fail(UpdateFailure::installFailed);
        return;
    }
    const bool signedByUs =
        mapped &&
        Ed25519Signature::verify(key, item.signature,
                                 QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size));
    file_->close();
    if (!signedByUs) {
        fail(UpdateFailure::badSignature);
        return;
    }
    install(item);
}

void AppcastUpdater::install(const AppcastItem& item)
{
    const QString received = file_->fileName();
    if (!environment_.appImagePath.isEmpty()) {
        if (interactive_)
            userDriver_.showInstalling();
        if (!replaceAtomically(received, environment_.appImagePath)) {
            fail(UpdateFailure::installFailed);
            return;
        }
        file_->remove();
        const bool relaunch = interactive_;
        // An open window would hold the quit that the relaunch asks for.
        userDriver_.dismiss();
        end();
        if (relaunch && environment_.relaunch)
            environment_.relaunch(environment_.appImagePath);
        return;
    }
    const QString path = environment_.downloadFolder + u'/' + fileNameOf(item);
    QFile::remove(path);
    // An AppImage is run as it is, so it is left ready to run.
    const bool runnable = path.endsWith(QLatin1String(appImageSuffix), Qt::CaseInsensitive);
    if (!file_->rename(path) || (runnable && !file_->setPermissions(executable))) {
        fail(UpdateFailure::installFailed);
        return;
    }
    file_.reset(); // kept for the user
    if (environment_.reveal)
        environment_.reveal(path);
    userDriver_.showDownloadedUpdate(item, path);
    end();
}

void AppcastUpdater::fail(UpdateFailure failure)
{
    qCWarning(logUpdates) << "the update failed:" << int(failure);
    discard();
    if (interactive_)
        userDriver_.showError(failure);
    end();
}

void AppcastUpdater::cancel()
{
    discard();
    userDriver_.dismiss();
    end();
}

void AppcastUpdater::dropTransfer()
{
    if (!get_)
        return;
    get_->disconnect(this);
    get_->cancel();
    // It may be the sender of the signal being handled.
    get_.release()->deleteLater();
}

void AppcastUpdater::discard()
{
    dropTransfer();
    if (file_)
        file_->remove();
}

QString AppcastUpdater::installedVersion() const
{
    return application_.infoString(QStringLiteral("CFBundleVersion"));
}

QString AppcastUpdater::installedShortVersion() const
{
    const QString shortVersion = application_.infoString(QStringLiteral("CFBundleShortVersionString"));
    return shortVersion.isEmpty() ? installedVersion() : shortVersion;
}

} // namespace Platform
