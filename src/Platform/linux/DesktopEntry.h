#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace Platform {

// One XDG desktop entry of type Application: the keys Vellora uses from its
// "[Desktop Entry]" group.
struct DesktopEntry {
    QString id; // the desktop-file id: "org.gnome.TextEditor"
    QString name;
    QHash<QString, QString> localizedNames; // "de", "zh_CN", "sr@latin" -> name
    QString icon;
    QString exec;
    QString tryExec;
    QString startupWMClass;
    bool noDisplay = false;
    bool hidden = false;

    // Reads an entry from a file's bytes. None when the bytes are not a desktop entry: no
    // "[Desktop Entry]" group first, not of type Application, or no Name.
    static std::optional<DesktopEntry> parse(const QByteArray& contents);
    // The id of a file found under an "applications" folder: its path relative to that
    // folder with '/' turned into '-' and ".desktop" removed.
    static QString idForRelativePath(const QString& relativePath);

    // The Name for a POSIX message locale ("zh_CN.UTF-8", "sr_RS@latin", "C"), matched as
    // lang_COUNTRY@MODIFIER, lang_COUNTRY, lang@MODIFIER, lang, then the plain Name.
    QString nameForLocale(const QString& posixLocale) const;
    // The program's file name from TryExec or else Exec, without its folder ("gedit"),
    // past any leading "env" and VAR=value words.
    QString executableName() const;

    bool operator==(const DesktopEntry&) const = default;
};

// Splits an Exec value into its words: blanks separate, double quotes group, and a
// backslash inside quotes keeps the next character.
QStringList splitExecLine(const QString& exec);

} // namespace Platform
