#pragma once

#include "Models/ClipItem.h"
#include "Models/Pinboard.h"
#include "Platform/Defaults.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "UI/Settings/HistoryRetentionSettings.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"
#include "fakes/FakeCloudDrive.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// A store in a temporary data directory with a fixed clock, the shared preferences reset to
// their defaults (the store trims by them), and the section over both; texts in English.
class HistoryRetentionFixture : public ::testing::Test {
protected:
    static constexpr qint64 secondsPerDay = 86'400;
    inline static const QDateTime now = QDateTime(QDate(2026, 3, 14), QTime(12, 0), Qt::UTC);

    HistoryRetentionFixture()
    {
        Localization::shared().setLanguage(AppLanguage::english);
        setSaved(HistoryRetentionMode::itemCount, 500, 30);
    }

    ~HistoryRetentionFixture() override
    {
        section.reset();
        if (store)
            store->saveNow();
    }

    static Settings& settings() { return Settings::shared(); }

    static void setSaved(HistoryRetentionMode mode, int limit, int days)
    {
        settings().setHistoryRetentionMode(mode);
        settings().setHistoryLimit(limit);
        settings().setHistoryRetentionDays(days);
    }

    // A text clip created `ageDays` days before now.
    static ClipItem clip(double ageDays, const QString& text = {})
    {
        ClipItem item;
        item.type = ClipType::text;
        item.text = text.isEmpty() ? QUuid::createUuid().toString() : text;
        item.createdAt = now.addSecs(-qint64(ageDays * secondsPerDay));
        return item;
    }

    static QList<ClipItem> recentClips(int count)
    {
        QList<ClipItem> clips;
        for (int i = 0; i < count; ++i)
            clips.append(clip(i / 1000.0, QStringLiteral("clip %1").arg(i)));
        return clips;
    }

    // Loads the store from a store file holding these clips, then builds the section.
    void load(const QList<ClipItem>& history, const QList<Pinboard>& pinboards = {},
              HistoryRetentionSettings::DirectoryMeasure measure = HistoryRetentionSettings::directorySize)
    {
        StoreSnapshot snapshot;
        snapshot.history = history;
        snapshot.pinboards = pinboards;
        QFile file(QDir(dataDir.path()).filePath(ClipboardStore::storeFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StoreFileCodec::encode(snapshot));
        file.close();
        ClipboardStore::Environment environment{Settings::shared(), dataDir.path(), &cloud,
                                                [] { return now; }};
        store = std::make_unique<ClipboardStore>(environment);
        store->load();
        section = std::make_unique<HistoryRetentionSettings>(settings(), *store, std::move(measure));
    }

public:
    void clickLimit(const QString& name) { child<QToolButton>(name)->click(); }
    void clickMode(HistoryRetentionMode mode) { modeButton(mode)->click(); }
    void moveSlider(int index) { slider()->setValue(index); }

    template <typename T> T* child(const QString& name) const
    {
        T* found = section->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    QAbstractButton* modeButton(HistoryRetentionMode mode) const
    {
        return child<QAbstractButton>(QStringLiteral("retentionMode-") +
                                      HistoryRetentionModes::rawValue(mode));
    }
    QSlider* slider() const { return child<QSlider>(QStringLiteral("retentionAgeSlider")); }
    QString text(const QString& labelName) const { return child<QLabel>(labelName)->text(); }

    // The confirmation's button with this text, or null.
    QAbstractButton* confirmationButton(const QString& title) const
    {
        if (!section->confirmation())
            return nullptr;
        for (QAbstractButton* button : section->confirmation()->buttons()) {
            if (button->text() == title)
                return button;
        }
        return nullptr;
    }

    QJsonValue stored(const QString& key) const { return Platform::defaults().value(key); }

    QTemporaryDir dataDir;
    FakeCloudDrive cloud;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<HistoryRetentionSettings> section;
};
