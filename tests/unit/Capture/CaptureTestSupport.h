#pragma once

#include "fakes/FakeCloudDrive.h"
#include "fakes/FakePasteboard.h"

#include "Monitor/ClipboardMonitor.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using PasteboardEntries = QList<std::pair<QString, QByteArray>>;

// A monitor over a clipboard in memory and a real store in a temporary folder, with the
// capture preferences at their defaults.
class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        cloud.path = temp.filePath(QStringLiteral("cloud"));
        settings().setIgnoreConcealed(true);
        settings().setIgnoredSourceAppBundleIDs({});
        settings().setPlaySound(false);
        settings().setICloudSync(false);
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = temp.filePath(QStringLiteral("local"));
        environment.cloudDrive = &cloud;
        store = std::make_unique<ClipboardStore>(environment);
        store->load();
        monitor = std::make_unique<ClipboardMonitor>(pasteboard, *store, settings());
    }

    static Settings& settings() { return Settings::shared(); }

    // Another application copies, and the monitor's next tick comes.
    void copyAndTick(PasteboardEntries entries,
                     std::optional<Platform::RunningApplication> owner = std::nullopt)
    {
        pasteboard.setContents(std::move(entries), std::move(owner));
        monitor->checkForChanges();
    }

    static Platform::RunningApplication application(const QString& bundleID, const QString& name)
    {
        Platform::RunningApplication app;
        app.bundleIdentifier = bundleID;
        app.localizedName = name;
        app.processIdentifier = 4242;
        app.windowIdentifier = 77;
        return app;
    }

    static QByteArray encoded(const QImage& image, const char* format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }

    static QImage sampleImage()
    {
        QImage image(24, 16, QImage::Format_RGB32);
        image.fill(QColor(200, 40, 90));
        return image;
    }

    QTemporaryDir temp;
    FakeCloudDrive cloud;
    FakePasteboard pasteboard;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<ClipboardMonitor> monitor;
};
