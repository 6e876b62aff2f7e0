#pragma once

#include "Platform/Workspace.h"

#include <QHash>
#include <QSet>

// A desktop in memory: installed applications, running ones, the one in front, and a record
// of what was opened, revealed and activated.
class FakeWorkspace final : public Platform::Workspace {
public:
    struct Installed {
        QString name;
        QString iconName;
        QIcon icon;
    };

    bool openURL(const QUrl& url) override
    {
        openedURLs.append(url);
        return opensSucceed && !refusedURLs.contains(url);
    }
    bool revealFile(const QString& path) override
    {
        revealedFiles.append(path);
        return opensSucceed;
    }
    bool openDesktopSettings() override
    {
        ++desktopSettingsOpens;
        return desktopSettingsOpen;
    }
    QList<Platform::RunningApplication> runningApplications() override { return running; }
    std::optional<Platform::RunningApplication> frontmostApplication() override { return frontmost; }
    std::optional<Platform::RunningApplication> applicationForWindow(quint64 windowIdentifier) override
    {
        for (const Platform::RunningApplication& application : running) {
            if (application.windowIdentifier == windowIdentifier)
                return application;
        }
        return std::nullopt;
    }
    Platform::RunningApplication applicationForProgram(qint64 processIdentifier,
                                                       const QString& executable) override
    {
        return {executable, executable, {}, processIdentifier, 0, false};
    }
    bool activate(const Platform::RunningApplication& application) override
    {
        activated.append(application);
        if (!isRunning(application.processIdentifier))
            return false;
        frontmost = application;
        return true;
    }
    bool isRunning(qint64 processIdentifier) const override
    {
        for (const Platform::RunningApplication& application : running) {
            if (application.processIdentifier == processIdentifier)
                return !terminated.contains(processIdentifier);
        }
        return false;
    }
    bool isCompositing() override { return compositing; }
    Platform::ApplicationInfo applicationInfo(const QString& bundleIdentifier) override
    {
        const auto found = installed.constFind(bundleIdentifier);
        if (found == installed.constEnd())
            return {bundleIdentifier, {}, {}, false};
        return {bundleIdentifier, found->name, found->iconName, true};
    }
    QList<Platform::ApplicationInfo> installedApplications() override
    {
        QStringList ids = installed.keys();
        ids.sort();
        QList<Platform::ApplicationInfo> applications;
        for (const QString& id : ids)
            applications.append(applicationInfo(id));
        return applications;
    }
    QIcon icon(const QString& bundleIdentifier) override
    {
        ++iconRequests;
        return installed.value(bundleIdentifier).icon;
    }

    QHash<QString, Installed> installed;
    QList<Platform::RunningApplication> running;
    QSet<qint64> terminated;
    std::optional<Platform::RunningApplication> frontmost;
    bool opensSucceed = true;
    QList<QUrl> refusedURLs;         // addresses that fail to open even when opens succeed
    bool desktopSettingsOpen = true; // a settings program is installed and starts
    int desktopSettingsOpens = 0;
    bool compositing = false;

    QList<QUrl> openedURLs;
    QStringList revealedFiles;
    QList<Platform::RunningApplication> activated;
    int iconRequests = 0;
};
