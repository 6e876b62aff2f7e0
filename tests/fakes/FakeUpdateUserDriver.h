#pragma once

#include "Platform/UpdateUserDriver.h"

#include <QStringList>

// A user interface that records what the updater showed, as short lines ("found 2.0",
// "up to date 1.0", "error"), and answers an offered update with `choice`.
class FakeUpdateUserDriver final : public Platform::UpdateUserDriver {
public:
    void showCheckingForUpdates(std::function<void()> cancel) override
    {
        shown << QStringLiteral("checking");
        cancelCheck = std::move(cancel);
    }
    void showUpdateFound(const Platform::AppcastItem& item, const QString&,
                         std::function<void(Choice)> reply) override
    {
        shown << QStringLiteral("found ") + item.version;
        offered = item;
        reply(choice);
    }
    void showUpToDate(const QString& installedVersion) override
    {
        shown << QStringLiteral("up to date ") + installedVersion;
    }
    void showDownloading(std::function<void()> cancel) override
    {
        shown << QStringLiteral("downloading");
        cancelDownload = std::move(cancel);
    }
    void showDownloadProgress(qint64 received, qint64) override { lastReceived = received; }
    void showInstalling() override { shown << QStringLiteral("installing"); }
    void showDownloadedUpdate(const Platform::AppcastItem&, const QString& path) override
    {
        shown << QStringLiteral("downloaded");
        downloadedPath = path;
    }
    void showError(Platform::UpdateFailure failure) override
    {
        shown << QStringLiteral("error");
        failures.append(failure);
    }
    void dismiss() override { shown << QStringLiteral("dismissed"); }

    Choice choice = Choice::later;
    QStringList shown;
    Platform::AppcastItem offered;
    QList<Platform::UpdateFailure> failures;
    QString downloadedPath;
    qint64 lastReceived = -1;
    std::function<void()> cancelCheck;
    std::function<void()> cancelDownload;
};
