#pragma once

#include "fakes/FakeCloudDrive.h"

#include "Models/ClipItem.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A store over real files in a temporary folder, with a clock the test moves and the
// retention preferences reset to their defaults.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        cloud.path = temp.filePath(QStringLiteral("cloud"));
        Settings& settings = Settings::shared();
        settings.setHistoryRetentionMode(HistoryRetentionMode::itemCount);
        settings.setHistoryLimit(500);
        settings.setHistoryRetentionDays(30);
        settings.setDeletePermanently(false);
        settings.setICloudSync(false);
    }

    std::unique_ptr<ClipboardStore> unloadedStore(const QString& localName = QStringLiteral("local"))
    {
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = temp.filePath(localName);
        environment.cloudDrive = &cloud;
        environment.now = [this] { return clock; };
        return std::make_unique<ClipboardStore>(environment);
    }

    std::unique_ptr<ClipboardStore> makeStore(const QString& localName = QStringLiteral("local"))
    {
        auto store = unloadedStore(localName);
        store->load();
        return store;
    }

    QString localPath(const QString& name) const { return temp.filePath(QStringLiteral("local/") + name); }

    static ClipItem textClip(const QString& text, const QDateTime& created)
    {
        ClipItem clip;
        clip.type = ClipType::text;
        clip.text = text;
        clip.createdAt = created;
        return clip;
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QStringList texts(const QList<ClipItem>& clips)
    {
        QStringList result;
        for (const ClipItem& clip : clips)
            result.append(clip.text.value_or(QStringLiteral("<none>")));
        return result;
    }

    QTemporaryDir temp;
    FakeCloudDrive cloud;
    QDateTime clock = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);
};
