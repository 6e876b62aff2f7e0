#include "Platform/linux/XdgAutostartLoginItem.h"

#include "Platform/Bundle.h"
#include "Platform/FileSystem.h"
#include "Platform/linux/DesktopEntry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

namespace {

const QString applicationName = QStringLiteral("Vellora");

QString startedExecutable()
{
    return XdgAutostartLoginItem::executable(QCoreApplication::applicationFilePath());
}

// One line "Key=value" of the entry's main group, or none when the key is absent.
std::optional<QString> entryValue(const QString& text, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    }
    return std::nullopt;
}

} // namespace

QString XdgAutostartLoginItem::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/") + mainBundle().bundleIdentifier() + QStringLiteral(".desktop");
}

QString XdgAutostartLoginItem::executable(const QString& running)
{
    const QString installedEntry = QFileInfo(running).absolutePath() +
                                   QStringLiteral("/../share/applications/") +
                                   mainBundle().bundleIdentifier() + QStringLiteral(".desktop");
    QFile file(installedEntry);
    if (!file.open(QIODevice::ReadOnly))
        return running;
    const std::optional<DesktopEntry> entry = DesktopEntry::parse(file.readAll());
    if (!entry || entry->tryExec.isEmpty())
        return running;
    const QString canonical = QFileInfo(running).canonicalFilePath();
    return !canonical.isEmpty() && QFileInfo(entry->tryExec).canonicalFilePath() == canonical ? entry->tryExec
                                                                                              : running;
}

QString XdgAutostartLoginItem::execValue(const QString& executable)
{
    // Inside double quotes `"`, `` ` ``, `$` and `\` take a backslash; the value is then a
    // string value whose own escape doubles every backslash, and `%` starts a field code.
    QString quoted;
    for (const QChar c : executable) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QStringLiteral("\\\\");
        if (c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\");
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray XdgAutostartLoginItem::entryText(const QString& executable)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(applicationName, execValue(executable));
    return text.toUtf8();
}

bool XdgAutostartLoginItem::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    if (entryValue(text, QStringLiteral("Hidden")) == QStringLiteral("true"))
        return false;
    if (entryValue(text, QStringLiteral("X-GNOME-Autostart-enabled")) == QStringLiteral("false"))
        return false;
    return entryValue(text, QStringLiteral("Exec")) == execValue(startedExecutable());
}

void XdgAutostartLoginItem::registerItem()
{
    if (const auto error = writeFileAtomically(entryPath(), entryText(startedExecutable())); error)
        throw LoginItemError{LoginItemError::Kind::registerFailed, *error};
}

void XdgAutostartLoginItem::unregisterItem()
{
    QFile file(entryPath());
    if (!file.exists())
        return;
    if (!file.remove())
        throw LoginItemError{LoginItemError::Kind::unregisterFailed, file.errorString()};
}

} // namespace Platform
