#include "Platform/linux/DesktopEntryIndex.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <algorithm>

namespace Platform {

namespace {

// A desktop entry is a few kilobytes; anything far larger is not one.
constexpr qint64 maximumEntryBytes = 256 * 1024;

// Programs that run other programs: an entry started through one of them says nothing
// about which running process is its application.
bool isLauncher(const QString& program)
{
    static const QSet<QString> launchers{
        QStringLiteral("sh"),      QStringLiteral("bash"),    QStringLiteral("dash"),
        QStringLiteral("zsh"),     QStringLiteral("env"),     QStringLiteral("python"),
        QStringLiteral("python3"), QStringLiteral("perl"),    QStringLiteral("ruby"),
        QStringLiteral("node"),    QStringLiteral("java"),    QStringLiteral("mono"),
        QStringLiteral("wine"),    QStringLiteral("flatpak"), QStringLiteral("snap"),
        QStringLiteral("gjs"),     QStringLiteral("xdg-open")};
    return launchers.contains(program);
}

QStringList environmentPaths(const char* variable, const QString& fallback)
{
    QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        value = fallback;
    QStringList paths;
    for (const QString& path : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(path) && !paths.contains(path))
            paths.append(path);
    }
    return paths;
}

// Fills a lookup table once per key so that the first entry (in id order) wins; entries
// that are not shown in menus give way to shown ones.
void remember(QHash<QString, qsizetype>& table, const QString& key, qsizetype index,
              const QList<DesktopEntry>& entries)
{
    if (key.isEmpty())
        return;
    const auto found = table.constFind(key);
    if (found == table.constEnd() || (entries.at(*found).noDisplay && !entries.at(index).noDisplay))
        table.insert(key, index);
}

} // namespace

DesktopEntryIndex::DesktopEntryIndex(QStringList applicationFolders)
    : folders_(std::move(applicationFolders))
{}

QStringList DesktopEntryIndex::standardDataFolders()
{
    const QString home = qEnvironmentVariable("XDG_DATA_HOME").isEmpty()
                             ? QDir::homePath() + QStringLiteral("/.local/share")
                             : qEnvironmentVariable("XDG_DATA_HOME");
    QStringList folders{home};
    for (const QString& path :
         environmentPaths("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"))) {
        if (!folders.contains(path))
            folders.append(path);
    }
    return folders;
}

QStringList DesktopEntryIndex::standardApplicationFolders()
{
    QStringList folders;
    for (const QString& data : standardDataFolders())
        folders.append(data + QStringLiteral("/applications"));
    return folders;
}

const DesktopEntry* DesktopEntryIndex::entry(const QString& id) const
{
    loadOnce();
    const auto found = byId_.constFind(id);
    return found == byId_.constEnd() ? nullptr : &entries_.at(*found);
}

const DesktopEntry* DesktopEntryIndex::match(const QString& windowClass, const QString& windowInstance,
                                             const QString& executableName) const
{
    loadOnce();
    const QStringList windowNames{windowClass.toLower(), windowInstance.toLower()};
    for (const QHash<QString, qsizetype>* table : {&byWindowClass_, &byLowerId_, &byLastIdPart_}) {
        for (const QString& name : windowNames) {
            if (name.isEmpty())
                continue;
            const auto found = table->constFind(name);
            if (found != table->constEnd())
                return &entries_.at(*found);
        }
    }
    const auto found = byExecutable_.constFind(executableName);
    if (!executableName.isEmpty() && found != byExecutable_.constEnd())
        return &entries_.at(*found);
    return nullptr;
}

qsizetype DesktopEntryIndex::size() const
{
    loadOnce();
    return entries_.size();
}

const QList<DesktopEntry>& DesktopEntryIndex::entries() const
{
    loadOnce();
    return entries_;
}

void DesktopEntryIndex::loadOnce() const
{
    if (loaded_)
        return;
    loaded_ = true;
    QSet<QString> claimed;
    QList<std::pair<QString, QByteArray>> found;
    for (const QString& folder : folders_) {
        const QDir root(folder);
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString id = DesktopEntry::idForRelativePath(root.relativeFilePath(path));
            if (claimed.contains(id) || it.fileInfo().size() > maximumEntryBytes)
                continue;
            claimed.insert(id);
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                found.append({id, file.read(maximumEntryBytes)});
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [id, contents] : found)
        add(id, contents);
}

void DesktopEntryIndex::add(const QString& id, const QByteArray& contents) const
{
    std::optional<DesktopEntry> parsed = DesktopEntry::parse(contents);
    if (!parsed || parsed->hidden)
        return;
    parsed->id = id;
    const qsizetype index = entries_.size();
    entries_.append(*parsed);
    byId_.insert(id, index);
    remember(byWindowClass_, parsed->startupWMClass.toLower(), index, entries_);
    remember(byLowerId_, id.toLower(), index, entries_);
    remember(byLastIdPart_, id.section(QLatin1Char('.'), -1).toLower(), index, entries_);
    if (!isLauncher(parsed->executableName()))
        remember(byExecutable_, parsed->executableName(), index, entries_);
}

} // namespace Platform
