#include "Platform/linux/ChromiumUserDataFolder.h"

#include "Platform/UserText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <unistd.h>

namespace Platform {

namespace {

// The browsers' bundle identifiers and the user data folders of their Linux installs, in the
// order they are read. Debian's Chromium is a build of Chrome and is listed with it; Safari
// has no Linux build.
struct KnownBrowser {
    const char* bundleID;
    std::array<const char*, 4> folders; // unused places are null
};

constexpr KnownBrowser knownBrowsers[] = {
    {"com.apple.Safari", {}},
    {"com.google.Chrome", {"google-chrome", "google-chrome-beta", "google-chrome-unstable", "chromium"}},
    {"com.microsoft.edgemac", {"microsoft-edge", "microsoft-edge-beta", "microsoft-edge-dev"}},
};

constexpr qint64 maxLocalStateBytes = 16 * 1024 * 1024;
constexpr qint64 maxSessionFileBytes = 32 * 1024 * 1024;
constexpr qsizetype maxLockTargetBytes = 512;

const QString defaultProfile = QStringLiteral("Default");
const QString sessionFilePrefix = QStringLiteral("Session_");

const KnownBrowser* knownBrowser(const QString& bundleID)
{
    for (const KnownBrowser& browser : knownBrowsers) {
        if (bundleID == QLatin1StringView(browser.bundleID))
            return &browser;
    }
    return nullptr;
}

QString hostName()
{
    std::array<char, HOST_NAME_MAX + 1> name{};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return QString::fromLocal8Bit(name.data());
}

QString symLinkText(const QString& path)
{
    std::array<char, maxLockTargetBytes> target{};
    const ssize_t length = readlink(QFile::encodeName(path).constData(), target.data(), target.size());
    if (length <= 0 || length == ssize_t(target.size()))
        return {};
    return QString::fromLocal8Bit(target.data(), length);
}

bool isNumber(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isLiveProcess(const QString& digits)
{
    bool ok = false;
    const qint64 pid = digits.toLongLong(&ok);
    if (!isNumber(digits) || !ok || pid <= 0 || pid > INT_MAX)
        return false;
    // A process of another user answers EPERM; it runs all the same.
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

// A profile is a folder directly inside the user data folder.
bool isProfileName(const QString& name)
{
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// Whether the user may not read an existing folder or file (one that is missing is no matter).
bool isDenied(const QString& path, int mode)
{
    return access(QFile::encodeName(path).constData(), mode) != 0 && errno != ENOENT;
}

// "Session_<n>" with the largest n, else the "Current Session" file of older versions.
QString newestSessionFile(const QString& profileFolder)
{
    const QFileInfoList candidates = QDir(profileFolder + QStringLiteral("/Sessions"))
                                         .entryInfoList({sessionFilePrefix + u'*'}, QDir::Files);
    QString newest;
    QString newestNumber;
    for (const QFileInfo& candidate : candidates) {
        QString number = candidate.fileName().mid(sessionFilePrefix.size());
        if (!isNumber(number))
            continue;
        while (number.size() > 1 && number.startsWith(u'0'))
            number.remove(0, 1);
        // The numbers are times in microseconds: compare them as numbers of any length.
        const bool larger = number.size() != newestNumber.size() ? number.size() > newestNumber.size()
                                                                 : number > newestNumber;
        if (newest.isEmpty() || larger) {
            newest = candidate.filePath();
            newestNumber = number;
        }
    }
    if (!newest.isEmpty())
        return newest;
    const QString current = profileFolder + QStringLiteral("/Current Session");
    return QFileInfo(current).isFile() ? current : QString();
}

} // namespace

QString ChromiumUserDataFolder::name() const
{
    return QFileInfo(path_).fileName();
}

bool ChromiumUserDataFolder::isKnownBrowser(const QString& bundleID)
{
    return knownBrowser(bundleID) != nullptr;
}

bool ChromiumUserDataFolder::hasLinuxBuild(const QString& bundleID)
{
    const KnownBrowser* browser = knownBrowser(bundleID);
    return browser && browser->folders.front();
}

QList<ChromiumUserDataFolder> ChromiumUserDataFolder::ofBrowser(const QString& bundleID)
{
    const KnownBrowser* browser = knownBrowser(bundleID);
    if (!browser)
        return {};
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QList<ChromiumUserDataFolder> folders;
    for (const char* folder : browser->folders) {
        if (folder)
            folders.append(ChromiumUserDataFolder(config + u'/' + QLatin1StringView(folder)));
    }
    return folders;
}

bool ChromiumUserDataFolder::isRunning() const
{
    const QString target = symLinkText(path_ + QStringLiteral("/SingletonLock"));
    const qsizetype dash = target.lastIndexOf(u'-');
    if (dash <= 0)
        return false;
    return target.left(dash) == hostName() && isLiveProcess(target.mid(dash + 1));
}

bool ChromiumUserDataFolder::isReadable() const
{
    if (isDenied(path_, R_OK | X_OK) || isDenied(path_ + QStringLiteral("/Local State"), R_OK))
        return false;
    const QStringList open = profiles();
    return std::none_of(open.begin(), open.end(), [&](const QString& profile) {
        return isDenied(path_ + u'/' + profile, R_OK | X_OK);
    });
}

QStringList ChromiumUserDataFolder::profiles() const
{
    QFile file(path_ + QStringLiteral("/Local State"));
    // Only a regular file: opening anything else (a pipe) could block.
    if (!QFileInfo(file).isFile() || file.size() > maxLocalStateBytes || !file.open(QIODevice::ReadOnly))
        return {defaultProfile};
    const QJsonArray listed = QJsonDocument::fromJson(file.readAll())
                                  .object()
                                  .value(QStringLiteral("profile"))
                                  .toObject()
                                  .value(QStringLiteral("last_active_profiles"))
                                  .toArray();
    QStringList names;
    for (const QJsonValue& value : listed) {
        const QString name = value.toString();
        if (isProfileName(name) && !names.contains(name))
            names.append(name);
    }
    return names.isEmpty() ? QStringList{defaultProfile} : names;
}

std::variant<QList<ChromiumSessionFile::Window>, QString>
ChromiumUserDataFolder::readSession(const QString& profile) const
{
    const QString path = newestSessionFile(path_ + u'/' + profile);
    if (path.isEmpty())
        return userText(QStringLiteral("no session file"));
    QFile file(path);
    if (file.size() > maxSessionFileBytes)
        return userText(QStringLiteral("the session file is larger than %lld MiB"),
                        {qint64(maxSessionFileBytes / (1024 * 1024))});
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const auto parsed = ChromiumSessionFile::parse(file.read(maxSessionFileBytes));
    if (const auto* failure = std::get_if<ChromiumSessionFile::Failure>(&parsed))
        return failure->reason;
    return std::get<QList<ChromiumSessionFile::Window>>(parsed);
}

} // namespace Platform
