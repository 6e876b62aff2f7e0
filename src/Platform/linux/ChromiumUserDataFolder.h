#pragma once

#include "Platform/linux/ChromiumSessionFile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <variant>

namespace Platform {

// The user data folder of one Chrome-family browser install ("~/.config/chromium"): whether
// the browser runs on it, its open profiles and their session files.
class ChromiumUserDataFolder {
public:
    explicit ChromiumUserDataFolder(QString path)
        : path_(std::move(path))
    {}

    const QString& path() const { return path_; }
    // The folder's name, which names the install ("google-chrome-beta").
    QString name() const;

    // Whether the bundle identifier names a browser this platform knows (with or without
    // Linux builds).
    static bool isKnownBrowser(const QString& bundleID);
    // Whether the browser is known and has Linux builds.
    static bool hasLinuxBuild(const QString& bundleID);
    // The user data folders of a browser's installs under the user's configuration folder, in
    // a fixed order; none for a browser without Linux builds or an unknown one.
    static QList<ChromiumUserDataFolder> ofBrowser(const QString& bundleID);

    // Whether a browser on this machine holds the folder's lock: "SingletonLock" links to
    // "<hostname>-<pid>" of a live process.
    bool isRunning() const;
    // Whether this user may read the folder and its open profiles.
    bool isReadable() const;
    // The folders of the profiles open last, from "Local State"; "Default" when it names none.
    QStringList profiles() const;
    // The windows of a profile, from its newest session file; a reason when it can't be read.
    std::variant<QList<ChromiumSessionFile::Window>, QString> readSession(const QString& profile) const;

private:
    QString path_;
};

} // namespace Platform
