#include "StoreTestSupport.h"

#include "fakes/FakeSystemLog.h"

#include "Platform/SystemLog.h"
#include "Platform/UserText.h"
#include "Store/StoreDiskStamp.h"
#include "Store/StoreFileCodec.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

QStringList storedTexts(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = StoreFileCodec::decode(file.readAll());
    QStringList texts;
    for (const ClipItem& clip : decoded ? decoded->snapshot.history : QList<ClipItem>{})
        texts.append(clip.text.value_or(QStringLiteral("<image>")));
    return texts;
}

// Files of this process can't grow past `bytes` while it lives, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limited{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

} // namespace

class StoreSavingTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        Platform::setSystemLogForTesting(&log);
    }
    void TearDown() override { Platform::setSystemLogForTesting(nullptr); }

    void seedFile(const QStringList& texts)
    {
        StoreSnapshot snapshot;
        for (qsizetype i = 0; i < texts.size(); ++i)
            snapshot.history.append(textClip(texts[i], clock.addSecs(-60 * (i + 1))));
        writeFile(localPath(ClipboardStore::storeFileName), StoreFileCodec::encode(snapshot));
    }

    FakeSystemLog log;
};

TEST_F(StoreSavingTest, QuittingWithoutUnsavedChangesWritesNothing)
{
    seedFile({"kept"});
    int saves = 0;
    QObject context;
    NotificationCenter::shared().observe(Notifications::storeDidSave, &context, [&](QObject*) { ++saves; });
    const StoreDiskStamp before = StoreDiskStamp::of(localPath(ClipboardStore::storeFileName));

    auto store = makeStore();
    store->prepareForQuit();
    EXPECT_EQ(saves, 0) << "just loaded";
    EXPECT_EQ(StoreDiskStamp::of(store->storeFilePath()), before);

    store->addCaptured(textClip(QStringLiteral("new"), clock));
    store->saveNow();
    ASSERT_EQ(saves, 1);
    const StoreDiskStamp saved = StoreDiskStamp::of(store->storeFilePath());
    store->setSelection({store->history().first().id});
    store->prepareForQuit();
    EXPECT_EQ(saves, 1) << "saved already";
    EXPECT_EQ(StoreDiskStamp::of(store->storeFilePath()), saved);
}

TEST_F(StoreSavingTest, CopiesComingFasterThanTheDelayAreSavedWithinTwoSeconds)
{
    auto store = makeStore();
    int saves = 0;
    QObject context;
    NotificationCenter::shared().observe(Notifications::storeDidSave, &context, [&](QObject*) { ++saves; });
    // 2.7 s of copies on the store's clock; the real waits keep the 0.4 s delay from passing.
    for (int i = 0; i < 10; ++i) {
        store->addCaptured(textClip(QStringLiteral("copy %1").arg(i), clock));
        clock = clock.addMSecs(300);
        QTest::qWait(300);
    }
    EXPECT_GE(saves, 1) << "a copy every 0.3 s never lets the 0.4 s delay pass";
}

TEST_F(StoreSavingTest, CopiesMadeWhileLoadingFollowTheLoadedHistoryInOrder)
{
    seedFile({"old 1", "old 2"});
    auto store = unloadedStore();
    QSignalSpy loaded(store.get(), &ClipboardStore::loaded);
    QSignalSpy changed(store.get(), &ClipboardStore::historyChanged);
    store->loadInBackground();
    for (const char* text : {"new a", "old 2", "new b"})
        store->addCaptured(textClip(QString::fromUtf8(text), clock));
    EXPECT_FALSE(store->isLoaded());
    EXPECT_TRUE(store->history().isEmpty());

    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_EQ(changed.count(), 1) << "published in one step";
    EXPECT_EQ(texts(store->history()), (QStringList{"new b", "old 2", "new a", "old 1"}));

    store->saveNow();
    auto second = unloadedStore();
    second->loadInBackground();
    second->addCaptured(textClip(QStringLiteral("newest"), clock.addSecs(1)));
    second->saveNow();
    EXPECT_EQ(storedTexts(second->storeFilePath()),
              (QStringList{"newest", "new b", "old 2", "new a", "old 1"}))
        << "a save waits for the history instead of writing over it";
}

// A quit while the history loads ends the read without publishing it or writing; a copy
// captured meanwhile is saved after the history, as any copy is.
TEST_F(StoreSavingTest, AQuitWhileLoadingEndsTheReadAndWritesOnlyACopyMadeMeanwhile)
{
    QStringList old; // fewer than the clips kept
    for (int i = 0; i < 400; ++i)
        old.append(QStringLiteral("old %1").arg(i));
    for (const bool copied : {false, true}) {
        seedFile(old);
        const StoreDiskStamp before = StoreDiskStamp::of(localPath(ClipboardStore::storeFileName));
        auto store = unloadedStore();
        store->loadInBackground();
        if (copied)
            store->addCaptured(textClip(QStringLiteral("copied"), clock));
        store->prepareForQuit();
        EXPECT_EQ(store->isLoaded(), copied);
        if (!copied) {
            EXPECT_EQ(StoreDiskStamp::of(store->storeFilePath()), before);
            continue;
        }
        const QStringList stored = storedTexts(store->storeFilePath());
        EXPECT_EQ(stored.size(), old.size() + 1);
        EXPECT_EQ(stored.value(0), "copied");
        EXPECT_EQ(stored.value(1), "old 0");
    }
}

TEST_F(StoreSavingTest, AFailedSaveKeepsEverythingSaysSoOnceAndIsTriedAgain)
{
    Settings::shared().setDeletePermanently(true);
    auto store = makeStore();
    ClipItem old;
    old.type = ClipType::image;
    old.imageHash = QStringLiteral("0ld");
    ASSERT_TRUE(store->addCapturedImage(old, QByteArray("old png")));
    store->saveNow();
    const QString oldImage = localPath(QStringLiteral("images/0ld.png"));
    ASSERT_TRUE(QFileInfo::exists(oldImage));
    QSignalSpy failed(store.get(), &ClipboardStore::saveFailed);
    {
        const FileSizeLimit full(2048);
        const QString big(4096, u'x');
        store->addCaptured(textClip(big, clock));
        ClipItem image;
        image.type = ClipType::image;
        image.imageHash = QStringLiteral("n3w");
        ASSERT_TRUE(store->addCapturedImage(image, QByteArray(8192, 'p')));
        store->deleteItems({old.id});
        ASSERT_TRUE(failed.wait(5000));
        store->addCaptured(textClip(QStringLiteral("during"), clock));
        store->prepareForQuit();
        EXPECT_EQ(failed.count(), 1);
        EXPECT_EQ(failed.first().at(0).toString(), store->storeFilePath());
        ASSERT_EQ(log.lines.size(), 1);
        EXPECT_TRUE(log.lines.first().contains(store->storeFilePath()));
        EXPECT_TRUE(
            ClipboardStore::saveFailedMessage(store->storeFilePath()).contains(store->storeFilePath()));
        EXPECT_TRUE(QFileInfo::exists(oldImage)) << "the saved store still names it";
        EXPECT_EQ(storedTexts(store->storeFilePath()), QStringList{"<image>"})
            << "the saved file stays whole";
        EXPECT_EQ(store->history().size(), 3);
        EXPECT_TRUE(store->hasUnsavedChanges());
    }
    store->prepareForQuit();
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_EQ(storedTexts(store->storeFilePath()), (QStringList{"during", "<image>", QString(4096, u'x')}));
    EXPECT_EQ(readFile(localPath(QStringLiteral("images/n3w.png"))), QByteArray(8192, 'p'));
    EXPECT_FALSE(QFileInfo::exists(oldImage));
    EXPECT_EQ(failed.count(), 1);
}

struct Damage {
    const char* name;
    // A shell command of another program that damages the file "$1" in place.
    const char* command;
    // Saved by the scheduled save after the copy, else by quitting.
    bool scheduled;
};

class DamagedStoreFileTest : public StoreSavingTest, public ::testing::WithParamInterface<Damage> {};

// A store file damaged by another program while Vellora runs is set aside by the first save
// after it, with the alert, and the whole history is written: neither the copy made after the
// damage nor the clips the damage hid are lost.
TEST_P(DamagedStoreFileTest, TheFirstSaveSetsItAsideAndWritesTheWholeHistory)
{
    QStringList old;
    for (int i = 0; i < 300; ++i)
        old.append(QStringLiteral("old %1").arg(i));
    seedFile(old);
    auto store = makeStore();
    const QString path = store->storeFilePath();
    QProcess damage;
    damage.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QString::fromUtf8(GetParam().command), QStringLiteral("sh"), path});
    ASSERT_TRUE(damage.waitForFinished(10000));
    ASSERT_EQ(damage.exitCode(), 0);
    const QByteArray damaged = readFile(path);
    ASSERT_FALSE(StoreFileCodec::decode(damaged));

    QSignalSpy setAside(store.get(), &ClipboardStore::unreadableFileSetAside);
    store->addCaptured(textClip(QStringLiteral("copied after the damage"), clock));
    if (GetParam().scheduled)
        ASSERT_TRUE(setAside.wait(5000));
    else
        store->prepareForQuit();

    ASSERT_EQ(setAside.count(), 1);
    const QString aside = setAside.first().at(0).toString();
    EXPECT_TRUE(aside.startsWith(path + QStringLiteral(".unreadable-"))) << aside.toStdString();
    EXPECT_EQ(readFile(aside), damaged);
    EXPECT_FALSE(store->hasUnsavedChanges());
    EXPECT_FALSE(store->unreadableStoreFile());
    EXPECT_EQ(storedTexts(path), QStringList{"copied after the damage"} + old);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedStoreFileTest,
    ::testing::Values(Damage{"truncatedThenSaved", "truncate -s 5000 \"$1\"", true},
                      Damage{"truncatedThenQuit", "truncate -s 5000 \"$1\"", false},
                      Damage{"byteChangedThenQuit",
                             "printf '[' | dd of=\"$1\" bs=1 seek=0 conv=notrunc status=none", false}),
    [](const auto& info) { return std::string(info.param.name); });

// A save cut short part way (a full disk, here the file size limit) names the cause the system
// gave, in the user's language, instead of "Unknown error".
TEST_F(StoreSavingTest, AWriteCutShortPartWayNamesTheSystemsCauseInTheUsersLanguage)
{
    Localization::formatPlatformTexts();
    const struct {
        AppLanguage language;
        QString cause;
    } cases[] = {
        {AppLanguage::english, QStringLiteral("The file is larger than the system allows.")},
        {AppLanguage::japanese, QStringLiteral("ファイルがシステムで許可されているサイズを超えています。")},
    };
    for (const auto& [language, cause] : cases) {
        Localization::shared().setLanguage(language);
        auto store = makeStore(QStringLiteral("local-%1").arg(int(language)));
        QSignalSpy failed(store.get(), &ClipboardStore::saveFailed);
        {
            const FileSizeLimit full(64 * 1024);
            store->addCaptured(textClip(QString(256 * 1024, u'x'), clock));
            store->saveNow();
        }
        ASSERT_EQ(failed.count(), 1);
        EXPECT_EQ(failed.first().at(1).toString(), cause);
    }
    Localization::shared().setLanguage(AppLanguage::english);
    Platform::setUserTextFormatter(nullptr);
}
