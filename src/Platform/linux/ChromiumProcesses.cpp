#include "Platform/linux/ChromiumProcesses.h"

#include "Platform/linux/ProcessInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace Platform {

namespace {

const QString chromeID = QStringLiteral("com.google.Chrome");
const QString edgeID = QStringLiteral("com.microsoft.edgemac");

// Command lines and environments are bounded by the kernel's argument limit; this is far
// beyond what a browser is started with.
constexpr qint64 maxCommandLineBytes = 256 * 1024;
constexpr qint64 maxEnvironmentBytes = 256 * 1024;
constexpr qint64 maxSmallFileBytes = 16 * 1024;

QByteArray readBounded(const QString& path, qint64 limit)
{
    QFile file(path);
    // /proc files report a size of 0: read up to the limit instead of trusting it.
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(limit);
}

// The arguments of a command line. The browser's helper processes rewrite theirs as one text
// with the arguments separated by spaces.
QStringList argumentsOf(const QByteArray& commandLine)
{
    QStringList arguments;
    for (const QByteArray& part : commandLine.split('\0')) {
        if (!part.isEmpty())
            arguments.append(QString::fromLocal8Bit(part));
    }
    if (arguments.size() == 1)
        return arguments.first().split(u' ', Qt::SkipEmptyParts);
    return arguments;
}

// The real user id from "Uid:\t<real>\t<effective>…" in the status file.
qint64 ownerOf(const QString& processFolder)
{
    const QByteArray status = readBounded(processFolder + QStringLiteral("/status"), maxSmallFileBytes);
    for (const QByteArray& line : status.split('\n')) {
        if (!line.startsWith("Uid:"))
            continue;
        bool ok = false;
        const qint64 uid = line.mid(4).simplified().split(' ').value(0).toLongLong(&ok);
        return ok ? uid : -1;
    }
    return -1;
}

QString switchValue(const QStringList& arguments, QStringView name)
{
    const QString prefix = QStringLiteral("--") + name.toString() + u'=';
    for (const QString& argument : arguments) {
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size());
    }
    return {};
}

bool isHelper(const QStringList& arguments)
{
    return !switchValue(arguments, u"type").isEmpty();
}

// The snap's name when the executable lies in one ("/snap/chromium/2890/usr/lib/…").
QString snapName(const QString& executable)
{
    if (!executable.startsWith(u"/snap/"))
        return {};
    return executable.section(u'/', 2, 2);
}

// The Flatpak application id of a process that runs in one, from its sandbox's info file.
QString flatpakID(const QString& processFolder)
{
    const QByteArray info =
        readBounded(processFolder + QStringLiteral("/root/.flatpak-info"), maxSmallFileBytes);
    bool inApplication = false;
    for (const QByteArray& raw : info.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            inApplication = line == "[Application]";
        else if (inApplication && line.startsWith("name="))
            return QString::fromUtf8(line.mid(5));
    }
    return {};
}

struct Install {
    QString bundleID;
    QString folderName; // the default folder's name under the configuration folder
};

// Which browser an executable is, and the folder its install keeps by default.
std::optional<Install> installOf(const QString& executable)
{
    const QString name = QFileInfo(executable).fileName();
    const QString folder = QFileInfo(executable).dir().dirName();
    if (name == u"msedge" || name.startsWith(u"microsoft-edge")) {
        if (folder == u"msedge-beta")
            return Install{edgeID, QStringLiteral("microsoft-edge-beta")};
        if (folder == u"msedge-dev")
            return Install{edgeID, QStringLiteral("microsoft-edge-dev")};
        return Install{edgeID, QStringLiteral("microsoft-edge")};
    }
    if (name == u"chromium" || name == u"chromium-browser" || snapName(executable) == u"chromium" ||
        (name == u"chrome" && executable.contains(u"chromium")))
        return Install{chromeID, QStringLiteral("chromium")};
    if (name == u"chrome" || name.startsWith(u"google-chrome")) {
        if (folder == u"chrome-beta")
            return Install{chromeID, QStringLiteral("google-chrome-beta")};
        if (folder == u"chrome-unstable")
            return Install{chromeID, QStringLiteral("google-chrome-unstable")};
        return Install{chromeID, QStringLiteral("google-chrome")};
    }
    return std::nullopt;
}

QString environmentValue(const QString& processFolder, const QByteArray& name)
{
    const QByteArray prefix = name + '=';
    for (const QByteArray& entry :
         readBounded(processFolder + QStringLiteral("/environ"), maxEnvironmentBytes).split('\0')) {
        if (entry.startsWith(prefix))
            return QString::fromLocal8Bit(entry.mid(prefix.size()));
    }
    return {};
}

QStringList defaultFolders(const QString& processFolder, const QString& executable, const Install& install,
                           const QString& home)
{
    if (const QString app = flatpakID(processFolder); !app.isEmpty())
        return {home + QStringLiteral("/.var/app/") + app + QStringLiteral("/config/") + install.folderName};
    if (const QString snap = snapName(executable); !snap.isEmpty()) {
        const QString base = home + QStringLiteral("/snap/") + snap;
        return {base + QStringLiteral("/common/") + install.folderName,
                base + QStringLiteral("/current/.config/") + install.folderName};
    }
    QString config = environmentValue(processFolder, "XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = home + QStringLiteral("/.config");
    return {config + u'/' + install.folderName};
}

} // namespace

QList<ChromiumProcesses::Process> ChromiumProcesses::scan(const Scope& scope)
{
    const qint64 uid = scope.uid >= 0 ? scope.uid : qint64(getuid());
    const QString home = scope.home.isEmpty() ? QDir::homePath() : scope.home;
    QList<Process> found;
    const QStringList entries = QDir(scope.procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid <= 0)
            continue;
        const QString folder = scope.procRoot + u'/' + entry;
        // The executable first: it rules out nearly every process with one system call.
        const QString executable = ProcessInfo::executableOf(pid, scope.procRoot);
        const std::optional<Install> install = installOf(executable);
        if (!install || ownerOf(folder) != uid || !ProcessInfo::isRunning(pid, scope.procRoot))
            continue;
        const QStringList arguments =
            argumentsOf(readBounded(folder + QStringLiteral("/cmdline"), maxCommandLineBytes));
        if (arguments.isEmpty() || isHelper(arguments))
            continue;
        Process process{pid, install->bundleID, {}};
        if (QString named = switchValue(arguments, u"user-data-dir"); !named.isEmpty()) {
            if (named.startsWith(u"~/"))
                named = home + named.mid(1);
            else if (QDir::isRelativePath(named))
                named = QFileInfo(folder + QStringLiteral("/cwd")).symLinkTarget() + u'/' + named;
            process.userDataFolders = {QDir::cleanPath(named)};
        } else {
            process.userDataFolders = defaultFolders(folder, executable, *install, home);
        }
        found.append(process);
    }
    return found;
}

QList<ChromiumProcesses::Process> ChromiumProcesses::ofBrowser(const QString& bundleID, const Scope& scope)
{
    if (bundleID != chromeID && bundleID != edgeID)
        return {};
    QList<Process> processes = scan(scope);
    processes.removeIf([&](const Process& process) { return process.bundleID != bundleID; });
    return processes;
}

} // namespace Platform
