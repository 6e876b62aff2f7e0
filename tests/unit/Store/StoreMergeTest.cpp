#include "StoreTestSupport.h"

#include "Store/StoreFileCodec.h"
#include "Store/StoreMerge.h"
#include "Util/NotificationCenter.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QDateTime base(QDate(2026, 2, 1), QTime(9, 0), Qt::UTC);

ClipItem clip(const QString& text, int minute, std::optional<int> modifiedMinute = std::nullopt)
{
    ClipItem item;
    item.text = text;
    item.createdAt = base.addSecs(minute * 60);
    if (modifiedMinute)
        item.modifiedAt = base.addSecs(*modifiedMinute * 60);
    return item;
}

QStringList texts(const QList<ClipItem>& clips)
{
    QStringList result;
    for (const ClipItem& item : clips)
        result.append(item.text.value_or(QString()));
    return result;
}

StoreSnapshot decodeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = StoreFileCodec::decode(file.readAll());
    return decoded ? decoded->snapshot : StoreSnapshot{};
}

} // namespace

// The merge itself

TEST(StoreMerge, UnionByIdentifierNewerVersionWinsDeletionsStayInBothOrders)
{
    ClipItem shared = clip("shared", 1, 2);
    ClipItem sharedEdited = shared;
    sharedEdited.text = "shared, edited";
    sharedEdited.modifiedAt = base.addSecs(10 * 60);
    const ClipItem onlyLocal = clip("local", 3);
    const ClipItem onlyRemote = clip("remote", 4);
    const ClipItem deletedRemotely = clip("deleted", 5);

    StoreSnapshot local;
    local.history = {deletedRemotely, onlyLocal, shared};
    StoreSnapshot remote;
    remote.history = {onlyRemote, sharedEdited};
    remote.deletedClips.insert(deletedRemotely.id, base.addSecs(6 * 60));

    const StoreSnapshot one = StoreMerge::merge(local, remote);
    const StoreSnapshot other = StoreMerge::merge(remote, local);
    EXPECT_EQ(texts(one.history), (QStringList{"remote", "local", "shared, edited"}));
    EXPECT_EQ(one, other) << "the same result whichever side merges";
    EXPECT_EQ(one.deletedClips.value(deletedRemotely.id), base.addSecs(6 * 60));
    EXPECT_EQ(StoreMerge::merge(one, remote), one) << "merging again changes nothing";
}

TEST(StoreMerge, EqualTimesChooseTheSameVersionOnBothSides)
{
    ClipItem a = clip("a", 1, 5);
    ClipItem b = a;
    b.customTitle = "title";
    StoreSnapshot left;
    left.history = {a};
    StoreSnapshot right;
    right.history = {b};
    EXPECT_EQ(StoreMerge::merge(left, right).history, StoreMerge::merge(right, left).history);
}

TEST(StoreMerge, DeletedIdentifiersNeverComeBackAndTheLaterDeletionTimeIsKept)
{
    const ClipItem gone = clip("gone", 1);
    StoreSnapshot local;
    local.deletedClips.insert(gone.id, base);
    StoreSnapshot remote;
    remote.history = {gone};
    remote.deletedClips.insert(gone.id, base.addSecs(60));

    for (const auto& [a, b] : {std::pair{local, remote}, std::pair{remote, local}}) {
        const StoreSnapshot merged = StoreMerge::merge(a, b);
        EXPECT_TRUE(merged.history.isEmpty());
        EXPECT_EQ(merged.deletedClips.value(gone.id), base.addSecs(60));
    }
}

TEST(StoreMerge, RepeatedContentFromTwoMachinesKeepsTheNewestAndRecordsTheOther)
{
    const ClipItem older = clip("same", 1);
    const ClipItem newer = clip("same", 2);
    StoreSnapshot local;
    local.history = {older};
    StoreSnapshot remote;
    remote.history = {newer};
    const StoreSnapshot merged = StoreMerge::merge(local, remote);
    ASSERT_EQ(merged.history.size(), 1);
    EXPECT_EQ(merged.history.first().id, newer.id);
    EXPECT_TRUE(merged.deletedClips.contains(older.id));
}

TEST(StoreMerge, WithheldClipsStayOut)
{
    const ClipItem pending = clip("pending", 1);
    StoreSnapshot remote;
    remote.history = {pending};
    EXPECT_TRUE(StoreMerge::merge({}, remote, {pending.id}).history.isEmpty());
}

TEST(StoreMerge, PinboardsMergeAsWholeRecords)
{
    Pinboard kept;
    kept.name = "Kept";
    kept.modifiedAt = base;
    Pinboard renamed = kept;
    renamed.name = "Renamed";
    renamed.modifiedAt = base.addSecs(60);
    Pinboard deleted;
    deleted.name = "Deleted";
    Pinboard remoteOnly;
    remoteOnly.name = "Remote";

    StoreSnapshot local;
    local.pinboards = {deleted, kept};
    StoreSnapshot remote;
    remote.pinboards = {renamed, remoteOnly};
    remote.deletedPinboards.insert(deleted.id, base);

    const StoreSnapshot merged = StoreMerge::merge(local, remote);
    ASSERT_EQ(merged.pinboards.size(), 2);
    EXPECT_EQ(merged.pinboards[0].name, "Renamed") << "local order, newer version";
    EXPECT_EQ(merged.pinboards[1].name, "Remote");
}

// Stores sharing one synced folder

class SharedFolderTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(cloud.path));
        Settings::shared().setICloudSync(true);
    }
    void TearDown() override { Settings::shared().setICloudSync(false); }

    QString sharedFile() const { return cloud.path + QStringLiteral("/Dorvane/store.json"); }
};

TEST_F(SharedFolderTest, TwoMachinesWritingInTurnKeepEachOthersClips)
{
    auto first = makeStore(QStringLiteral("first"));
    auto second = makeStore(QStringLiteral("second"));
    ASSERT_TRUE(first->isSyncedFolderActive());
    ASSERT_EQ(first->storeFilePath(), sharedFile());

    first->addCaptured(textClip("one", clock));
    first->saveNow();
    clock = clock.addSecs(60);
    second->addCaptured(textClip("two", clock));
    second->saveNow();
    clock = clock.addSecs(60);
    first->addCaptured(textClip("three", clock));
    first->saveNow();

    EXPECT_EQ(texts(decodeFile(sharedFile()).history), (QStringList{"three", "two", "one"}));
    EXPECT_EQ(texts(first->history()), (QStringList{"three", "two", "one"}));
    EXPECT_EQ(texts(second->history()), (QStringList{"two", "one"})) << "the second merged when it saved";

    Settings::shared().setDeletePermanently(true);
    const QUuid one = second->history().last().id;
    second->deleteItems({one});
    second->saveNow();
    clock = clock.addSecs(60);
    first->addCaptured(textClip("four", clock));
    first->saveNow();

    EXPECT_EQ(texts(decodeFile(sharedFile()).history), (QStringList{"four", "three", "two"}));
    EXPECT_EQ(texts(first->history()), (QStringList{"four", "three", "two"})) << "a deletion is never undone";
    EXPECT_TRUE(decodeFile(sharedFile()).deletedClips.contains(one));
}

TEST_F(SharedFolderTest, AChangeWrittenElsewhereIsMergedThroughTheFileWatch)
{
    auto watching = makeStore(QStringLiteral("watching"));
    auto writer = makeStore(QStringLiteral("writer"));
    watching->addCaptured(textClip("mine", clock));
    watching->saveNow();
    QSignalSpy changed(watching.get(), &ClipboardStore::historyChanged);

    clock = clock.addSecs(5);
    writer->addCaptured(textClip("theirs", clock));
    writer->saveNow();

    ASSERT_TRUE(QTest::qWaitFor([&] { return watching->history().size() == 2; }, 10000));
    EXPECT_EQ(texts(watching->history()), (QStringList{"theirs", "mine"}));
    EXPECT_GE(changed.count(), 1);
}

TEST_F(SharedFolderTest, OwnWritesDoNotStartAnotherSave)
{
    auto store = makeStore();
    int saves = 0;
    QObject context;
    NotificationCenter::shared().observe(Notifications::storeDidSave, &context, [&](QObject*) { ++saves; });
    QSignalSpy changed(store.get(), &ClipboardStore::historyChanged);
    store->addCaptured(textClip("a", clock));
    store->saveNow();
    QTest::qWait(2500);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(SharedFolderTest, MovingIntoTheSyncedFolderCopiesImagesAndMergesWhatIsThere)
{
    Settings::shared().setICloudSync(false);
    auto store = makeStore();
    ASSERT_FALSE(store->isSyncedFolderActive());
    ClipItem image;
    image.imageHash = "dd44";
    image.createdAt = clock;
    ASSERT_TRUE(store->addCapturedImage(image, QByteArray("png")));
    store->addCaptured(textClip("local", clock));
    store->saveNow();

    StoreSnapshot elsewhere;
    elsewhere.history = {textClip("from another machine", clock.addSecs(-60))};
    writeFile(sharedFile(), StoreFileCodec::encode(elsewhere));

    ASSERT_TRUE(store->setSyncedFolderActive(true));
    EXPECT_TRUE(store->isSyncedFolderActive());
    EXPECT_EQ(store->baseDir(), cloud.path + QStringLiteral("/Dorvane"));
    EXPECT_EQ(readFile(cloud.path + QStringLiteral("/Dorvane/images/dd44.png")), QByteArray("png"));
    QStringList names = texts(store->history());
    names.sort();
    EXPECT_EQ(names, (QStringList{"<none>", "from another machine", "local"}));
    EXPECT_EQ(decodeFile(sharedFile()).history.size(), 3);
    const auto copied = std::find_if(store->history().cbegin(), store->history().cend(),
                                     [](const ClipItem& item) { return item.type == ClipType::image; });
    ASSERT_NE(copied, store->history().cend());
    EXPECT_EQ(store->imageFilePath(*copied), cloud.path + QStringLiteral("/Dorvane/images/dd44.png"));

    ASSERT_TRUE(store->setSyncedFolderActive(false));
    EXPECT_EQ(store->baseDir(), localPath(QString()).chopped(1));
    EXPECT_EQ(decodeFile(store->storeFilePath()).history.size(), 3);
}

TEST_F(SharedFolderTest, SyncIsRefusedWhenTheFolderIsMissing)
{
    Settings::shared().setICloudSync(false);
    auto store = makeStore();
    store->addCaptured(textClip("a", clock));
    cloud.enabled = false;
    EXPECT_FALSE(store->syncedFolderAvailable());
    EXPECT_FALSE(store->setSyncedFolderActive(true));
    EXPECT_FALSE(store->isSyncedFolderActive());
    EXPECT_EQ(store->history().size(), 1);
}

// An unreadable file written elsewhere is merged with nothing and set aside by the next save,
// which writes the whole history.
TEST_F(SharedFolderTest, AnUnreadableFileWrittenElsewhereIsLeftAloneThenSetAsideByTheNextChange)
{
    auto store = makeStore();
    store->addCaptured(textClip("kept in memory", clock));
    store->saveNow();
    const QByteArray garbage("{\"version\":1,\"history\":[tr");
    writeFile(sharedFile(), garbage);
    QTest::qWait(2000);
    EXPECT_EQ(texts(store->history()), QStringList{"kept in memory"});
    EXPECT_EQ(readFile(sharedFile()), garbage) << "not replaced before the user acts";

    store->addCaptured(textClip("first change", clock.addSecs(1)));
    store->saveNow();
    const QStringList aside = QDir(cloud.path + QStringLiteral("/Dorvane"))
                                  .entryList({QStringLiteral("store.json.unreadable-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(cloud.path + QStringLiteral("/Dorvane/") + aside.first()), garbage);
    EXPECT_EQ(texts(decodeFile(sharedFile()).history), (QStringList{"first change", "kept in memory"}));
    EXPECT_FALSE(store->unreadableStoreFile());
}

TEST_F(SharedFolderTest, WithTheSyncedFolderGoneTheLocalDirectoryIsUsed)
{
    cloud.enabled = false;
    auto store = makeStore();
    EXPECT_FALSE(store->isSyncedFolderActive());
    EXPECT_EQ(store->storeFilePath(), localPath(QStringLiteral("store.json")));
    cloud.enabled = true;
    EXPECT_TRUE(makeStore()->isSyncedFolderActive()) << "the preference is read again at the next load";
}
