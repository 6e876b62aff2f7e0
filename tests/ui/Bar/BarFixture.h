#pragma once

#include "ControlledBrowserReader.h"

#include "BrowserLinks/BrowserShelfModel.h"
#include "Models/ClipItem.h"
#include "Models/Pinboard.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "Util/Localization.h"
#include "fakes/FakeCloudDrive.h"
#include "fakes/FakeDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A store in a temporary data directory, loaded from a store file written by the test,
// preferences of its own and a browser shelf whose browsers the test controls; texts in English.
struct BarFixture {
    QTemporaryDir dataDir;
    FakeCloudDrive cloud;
    FakeDefaults defaults;
    Settings settings{defaults};
    std::unique_ptr<ClipboardStore> store;
    ControlledBrowserReader browsers;
    BrowserShelfModel shelf{browsers.reader()};

    BarFixture() { Localization::shared().setLanguage(AppLanguage::english); }

    void load(const QList<ClipItem>& history, const QList<Pinboard>& pinboards = {})
    {
        StoreSnapshot snapshot;
        snapshot.history = history;
        snapshot.pinboards = pinboards;
        QFile file(QDir(dataDir.path()).filePath(ClipboardStore::storeFileName));
        file.open(QIODevice::WriteOnly);
        file.write(StoreFileCodec::encode(snapshot));
        file.close();
        store = std::make_unique<ClipboardStore>(
            ClipboardStore::Environment{Settings::shared(), dataDir.path(), &cloud, {}});
        store->load();
    }

    static ClipItem text(const QString& text, const QString& app = QStringLiteral("Editor"))
    {
        ClipItem clip;
        clip.type = ClipType::text;
        clip.text = text;
        clip.sourceAppName = app;
        clip.sourceBundleID = QStringLiteral("org.example.") + app;
        return clip;
    }

    static QList<ClipItem> texts(int count)
    {
        QList<ClipItem> clips;
        for (int i = 0; i < count; ++i)
            clips.append(text(QStringLiteral("Clip number %1").arg(i)));
        return clips;
    }
};
