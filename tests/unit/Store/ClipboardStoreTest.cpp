#include "StoreTestSupport.h"
#include "fakes/FakeDefaults.h"

#include "Models/JsonCoding.h"
#include "Store/StoreFileCodec.h"
#include "Store/StoreMerge.h"
#include "Util/NotificationCenter.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {

ClipItem imageClip(const QString& hash, const QDateTime& created)
{
    ClipItem clip;
    clip.type = ClipType::image;
    clip.imageHash = hash;
    clip.createdAt = created;
    return clip;
}

QFile::Permissions modeOf(const QString& path)
{
    return QFileInfo(path).permissions() &
           (QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup |
            QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
}

constexpr QFile::Permissions fileMode = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions folderMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

} // namespace

class ClipboardStoreTest : public StoreTest {
protected:
    // Writes a store file with `count` text clips, one hour apart, newest first, and
    // `pinned` clips on one pinboard, then loads a store over it.
    std::unique_ptr<ClipboardStore> seeded(int count, int pinned = 0, qint64 spacingSeconds = 3600)
    {
        StoreSnapshot snapshot;
        for (int i = 0; i < count; ++i)
            snapshot.history.append(
                textClip(QStringLiteral("clip %1").arg(i), clock.addSecs(-i * spacingSeconds)));
        Pinboard board;
        board.name = QStringLiteral("Board");
        for (int i = 0; i < pinned; ++i)
            board.clips.append(textClip(QStringLiteral("pinned %1").arg(i), clock.addYears(-3)));
        snapshot.pinboards.append(board);
        writeFile(localPath(ClipboardStore::storeFileName), StoreFileCodec::encode(snapshot));
        return makeStore();
    }
};

// Retention

struct RetentionCase {
    const char* name;
    int clips;
    qint64 spacingSeconds;
    HistoryRetentionMode mode;
    int limit;
    int days;
    int expectedRemovals;
};

class RetentionTest : public ClipboardStoreTest, public ::testing::WithParamInterface<RetentionCase> {};

TEST_P(RetentionTest, CountsAndTrimsTheSameClips)
{
    const RetentionCase& c = GetParam();
    auto store = seeded(c.clips, 30, c.spacingSeconds);
    ASSERT_EQ(store->history().size(), c.clips);

    EXPECT_EQ(store->retentionRemovalCount(c.mode, c.limit, c.days), c.expectedRemovals);
    EXPECT_EQ(store->history().size(), c.clips) << "counting changes nothing";

    Settings::shared().setHistoryRetentionMode(c.mode);
    Settings::shared().setHistoryLimit(c.limit);
    Settings::shared().setHistoryRetentionDays(c.days);
    const QList<ClipItem> before = store->history();
    store->trimHistory();

    ASSERT_EQ(store->history().size(), c.clips - c.expectedRemovals);
    EXPECT_EQ(store->history(), before.mid(0, c.clips - c.expectedRemovals))
        << "the newest clips stay, in order";
    EXPECT_EQ(store->pinboards().first().clips.size(), 30) << "pinboards are untouched";
    EXPECT_EQ(store->snapshot().deletedClips.size(), c.expectedRemovals);
    EXPECT_EQ(store->retentionRemovalCount(c.mode, c.limit, c.days), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RetentionTest,
    ::testing::Values(
        RetentionCase{"countOverLimit", 50, 3600, HistoryRetentionMode::itemCount, 30, 0, 20},
        RetentionCase{"countAtLimit", 30, 3600, HistoryRetentionMode::itemCount, 30, 0, 0},
        RetentionCase{"countLimitBelowTwentyKeepsTwenty", 50, 3600, HistoryRetentionMode::itemCount, 20, 0,
                      30},
        RetentionCase{"countUnderLimit", 10, 3600, HistoryRetentionMode::itemCount, 500, 0, 0},
        RetentionCase{"foreverKeepsAtMostFiveThousand", 5003, 60, HistoryRetentionMode::timeInterval, 500, 0,
                      3},
        RetentionCase{"oneDayDropsOlder", 72, 3600, HistoryRetentionMode::timeInterval, 500, 1, 47},
        RetentionCase{"daysThenCeiling", 5010, 1, HistoryRetentionMode::timeInterval, 500, 1, 10},
        RetentionCase{"daysAndCeilingTogether", 6000, 15, HistoryRetentionMode::timeInterval, 500, 1, 1000},
        RetentionCase{"nothingOldEnough", 40, 60, HistoryRetentionMode::timeInterval, 500, 30, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClipboardStoreTest, RetentionBelowTwentyIsCountedAsTwenty)
{
    auto store = seeded(25);
    EXPECT_EQ(store->retentionRemovalCount(HistoryRetentionMode::itemCount, 3, 0), 5);
    EXPECT_EQ(store->retentionRemovalCount(HistoryRetentionMode::itemCount, -10, 0), 5);
    EXPECT_EQ(store->retentionRemovalCount(HistoryRetentionMode::timeInterval, 500, -4), 0);
}

TEST_F(ClipboardStoreTest, CapturingTrimsByTheCurrentPreferences)
{
    Settings::shared().setHistoryLimit(20);
    auto store = seeded(20);
    store->addCaptured(textClip(QStringLiteral("new"), clock));
    ASSERT_EQ(store->history().size(), 20);
    EXPECT_EQ(store->history().first().text, QStringLiteral("new"));
    EXPECT_EQ(store->history().last().text, QStringLiteral("clip 18"));
}

// Same content

struct SameContentCase {
    const char* name;
    ClipItem first;
    ClipItem second;
    bool same;
};

ClipItem make(ClipType type, std::function<void(ClipItem&)> fill)
{
    ClipItem clip;
    clip.type = type;
    fill(clip);
    return clip;
}

class SameContentTest : public ClipboardStoreTest, public ::testing::WithParamInterface<SameContentCase> {};

TEST_P(SameContentTest, RepeatedCopyMovesTheClipToTheTopWithTheNewTime)
{
    const SameContentCase& c = GetParam();
    auto store = makeStore();
    ClipItem first = c.first;
    first.createdAt = clock.addSecs(-100);
    store->addCaptured(first);
    store->addCaptured(textClip(QStringLiteral("between"), clock.addSecs(-50)));
    ClipItem second = c.second;
    second.createdAt = clock;
    store->addCaptured(second);

    if (c.same) {
        ASSERT_EQ(store->history().size(), 2);
        EXPECT_EQ(store->history().first().id, first.id) << "the existing clip moves, keeping its identifier";
        EXPECT_EQ(store->history().first().createdAt, clock);
        EXPECT_EQ(store->history().last().text, QStringLiteral("between"));
    } else {
        ASSERT_EQ(store->history().size(), 3);
        EXPECT_EQ(store->history().first().id, second.id);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SameContentTest,
    ::testing::Values(
        SameContentCase{"text", make(ClipType::text, [](auto& c) { c.text = "hello"; }),
                        make(ClipType::text, [](auto& c) { c.text = "hello"; }), true},
        SameContentCase{"textDiffers", make(ClipType::text, [](auto& c) { c.text = "hello"; }),
                        make(ClipType::text, [](auto& c) { c.text = "hello "; }), false},
        SameContentCase{"textVersusLink", make(ClipType::text, [](auto& c) { c.text = "https://a.example"; }),
                        make(ClipType::link, [](auto& c) { c.text = "https://a.example"; }), false},
        SameContentCase{"richText",
                        make(ClipType::richText,
                             [](auto& c) {
                                 c.text = "a";
                                 c.rtfData = QByteArray("{\\rtf1 a}");
                             }),
                        make(ClipType::richText,
                             [](auto& c) {
                                 c.text = "a";
                                 c.rtfData = QByteArray("{\\rtf1 a}");
                             }),
                        true},
        SameContentCase{"richTextOtherHTML",
                        make(ClipType::richText,
                             [](auto& c) {
                                 c.text = "a";
                                 c.htmlData = QByteArray("<b>a</b>");
                             }),
                        make(ClipType::richText,
                             [](auto& c) {
                                 c.text = "a";
                                 c.htmlData = QByteArray("<i>a</i>");
                             }),
                        false},
        SameContentCase{"imageByHash", make(ClipType::image, [](auto& c) { c.imageHash = "ab12"; }),
                        make(ClipType::image,
                             [](auto& c) {
                                 c.imageHash = "ab12";
                                 c.sourceAppName = "Other";
                             }),
                        true},
        SameContentCase{"imagesWithoutHashDiffer", make(ClipType::image, [](auto&) {}),
                        make(ClipType::image, [](auto&) {}), false},
        SameContentCase{"colorIgnoresCase", make(ClipType::color, [](auto& c) { c.colorHex = "#ff00aa"; }),
                        make(ClipType::color, [](auto& c) { c.colorHex = "#FF00AA"; }), true},
        SameContentCase{"filesInOrder",
                        make(ClipType::file,
                             [](auto& c) {
                                 c.fileURLs = {QUrl("file:///a"), QUrl("file:///b")};
                             }),
                        make(ClipType::file,
                             [](auto& c) {
                                 c.fileURLs = {QUrl("file:///a"), QUrl("file:///b")};
                             }),
                        true},
        SameContentCase{"filesOtherOrder",
                        make(ClipType::file,
                             [](auto& c) {
                                 c.fileURLs = {QUrl("file:///a"), QUrl("file:///b")};
                             }),
                        make(ClipType::file,
                             [](auto& c) {
                                 c.fileURLs = {QUrl("file:///b"), QUrl("file:///a")};
                             }),
                        false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClipboardStoreTest, SignalsFireOnRealChangesOnly)
{
    auto store = makeStore();
    QSignalSpy history(store.get(), &ClipboardStore::historyChanged);
    QSignalSpy pinboards(store.get(), &ClipboardStore::pinboardsChanged);
    store->addCaptured(textClip(QStringLiteral("a"), clock));
    EXPECT_EQ(history.count(), 1);
    store->deleteItems({QUuid::createUuid()});
    store->setSelection({});
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(pinboards.count(), 0);
    const QUuid board = store->addPinboard(QStringLiteral("Work"), QStringLiteral("#FF0000"));
    EXPECT_EQ(pinboards.count(), 1);
    EXPECT_FALSE(store->renamePinboard(board, QStringLiteral("Work")));
    EXPECT_EQ(pinboards.count(), 1);
    EXPECT_TRUE(store->renamePinboard(board, QStringLiteral("Home")));
    EXPECT_EQ(pinboards.count(), 2);
    EXPECT_EQ(history.count(), 1);
}

// Deleting and undo

TEST_F(ClipboardStoreTest, DeletionCanBeUndoneInPlaceForFiveMinutes)
{
    auto store = makeStore();
    for (const char* text : {"a", "b", "c"})
        store->addCaptured(textClip(QString::fromLatin1(text), clock));
    const QUuid b = store->history()[1].id;
    store->setSelection({b});

    store->deleteItems({b});
    EXPECT_EQ(texts(store->history()), (QStringList{"c", "a"}));
    EXPECT_TRUE(store->selection().isEmpty()) << "the selection is repaired";
    EXPECT_TRUE(store->snapshot().deletedClips.isEmpty()) << "not final while it can be undone";
    store->saveNow();
    EXPECT_FALSE(readFile(store->storeFilePath()).contains(JsonCoding::uuidString(b).toUtf8()));

    clock = clock.addSecs(4 * 60 + 59);
    ASSERT_TRUE(store->canUndoDelete());
    EXPECT_TRUE(store->undoDelete());
    EXPECT_EQ(texts(store->history()), (QStringList{"c", "b", "a"}));
    EXPECT_FALSE(store->undoDelete()) << "one deletion, one undo";

    store->deleteItems({b});
    clock = clock.addSecs(5 * 60);
    EXPECT_FALSE(store->canUndoDelete());
    EXPECT_FALSE(store->undoDelete());
    store->finalizeExpiredDeletions();
    ASSERT_TRUE(store->snapshot().deletedClips.contains(b));
    EXPECT_EQ(store->snapshot().deletedClips.value(b), clock);
}

TEST_F(ClipboardStoreTest, UndoDoesNotRepeatContentCopiedAgainMeanwhile)
{
    auto store = makeStore();
    store->addCaptured(textClip(QStringLiteral("a"), clock));
    const QUuid first = store->history().first().id;
    store->deleteItems({first});
    store->addCaptured(textClip(QStringLiteral("a"), clock.addSecs(10)));
    EXPECT_TRUE(store->undoDelete());
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_NE(store->history().first().id, first);
    EXPECT_TRUE(store->snapshot().deletedClips.contains(first));
}

TEST_F(ClipboardStoreTest, DeletePermanentlySkipsUndo)
{
    Settings::shared().setDeletePermanently(true);
    auto store = makeStore();
    store->addCaptured(textClip(QStringLiteral("a"), clock));
    const QUuid id = store->history().first().id;
    store->deleteItems({id});
    EXPECT_FALSE(store->canUndoDelete());
    EXPECT_TRUE(store->snapshot().deletedClips.contains(id));
}

// A store that read the process-wide preferences would keep an undo for a user whose own
// preferences say to delete permanently.
TEST_F(ClipboardStoreTest, FollowsThePreferencesItWasGivenNotTheProcessWideOnes)
{
    FakeDefaults defaults;
    Settings given(defaults);
    given.setDeletePermanently(true);
    ClipboardStore store({given, temp.filePath(QStringLiteral("given")), &cloud, [this] { return clock; }});
    store.load();
    store.addCaptured(textClip(QStringLiteral("a"), clock));
    store.deleteItems({store.history().first().id});
    EXPECT_FALSE(store.canUndoDelete());
}

TEST_F(ClipboardStoreTest, QuitMakesPendingDeletionsFinalAndSaves)
{
    auto store = makeStore();
    store->addCaptured(textClip(QStringLiteral("a"), clock));
    store->addCaptured(textClip(QStringLiteral("b"), clock));
    const QUuid a = store->history().last().id;
    store->deleteItems({a});
    store->prepareForQuit();

    const auto decoded = StoreFileCodec::decode(readFile(store->storeFilePath()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(texts(decoded->snapshot.history), QStringList{"b"});
    EXPECT_TRUE(decoded->snapshot.deletedClips.contains(a));
    EXPECT_FALSE(store->canUndoDelete());
}

TEST_F(ClipboardStoreTest, ImageFileGoesOnlyWhenTheDeletionIsFinalAndNothingUsesIt)
{
    auto store = makeStore();
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("aa11"), clock), QByteArray("png-1")));
    const QUuid id = store->history().first().id;
    const QUuid board = store->addPinboard(QStringLiteral("Keep"), QStringLiteral("#00FF00"));
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("bb22"), clock), QByteArray("png-2")));
    const QUuid other = store->history().first().id;
    ASSERT_TRUE(store->pin(other, board));
    store->saveNow();
    const QString first = localPath(QStringLiteral("images/aa11.png"));
    const QString second = localPath(QStringLiteral("images/bb22.png"));
    ASSERT_EQ(readFile(first), QByteArray("png-1"));

    store->deleteItems({id, other});
    store->saveNow();
    EXPECT_TRUE(QFileInfo::exists(first)) << "kept while the deletion can be undone";

    clock = clock.addSecs(301);
    store->finalizeExpiredDeletions();
    store->saveNow();
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(second)) << "the pinned copy still uses it";
}

TEST_F(ClipboardStoreTest, ClearHistoryKeepsPinboardsAndTheirImages)
{
    auto store = makeStore();
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("pinned"), clock), QByteArray("p")));
    const QUuid pinnedSource = store->history().first().id;
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("loose"), clock), QByteArray("l")));
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("waiting"), clock), QByteArray("w")));
    const QUuid waiting = store->history().first().id;
    store->addCaptured(textClip(QStringLiteral("text"), clock));
    const QUuid board = store->addPinboard(QStringLiteral("Board"), QStringLiteral("#0000FF"));
    ASSERT_TRUE(store->pin(pinnedSource, board));
    store->deleteItems({waiting});
    const QList<ClipItem> before = store->history();
    store->saveNow();

    QSignalSpy pinboards(store.get(), &ClipboardStore::pinboardsChanged);
    store->clearHistory();
    store->saveNow();

    EXPECT_TRUE(store->history().isEmpty());
    EXPECT_FALSE(store->canUndoDelete()) << "deletions waiting for undo are dropped";
    EXPECT_EQ(pinboards.count(), 0);
    ASSERT_EQ(store->pinboards().first().clips.size(), 1);
    EXPECT_TRUE(QFileInfo::exists(localPath(QStringLiteral("images/pinned.png"))));
    EXPECT_FALSE(QFileInfo::exists(localPath(QStringLiteral("images/loose.png"))));
    EXPECT_FALSE(QFileInfo::exists(localPath(QStringLiteral("images/waiting.png"))));
    for (const ClipItem& clip : before)
        EXPECT_TRUE(store->snapshot().deletedClips.contains(clip.id));
    EXPECT_TRUE(store->snapshot().deletedClips.contains(waiting));
}

// Files

TEST_F(ClipboardStoreTest, FilesAreWrittenPrivately)
{
    auto store = makeStore();
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("cc33"), clock), QByteArray("png")));
    store->saveNow();
    EXPECT_EQ(modeOf(localPath(QString())), folderMode);
    EXPECT_EQ(modeOf(localPath(QStringLiteral("images"))), folderMode);
    EXPECT_EQ(modeOf(store->storeFilePath()), fileMode);
    EXPECT_EQ(modeOf(localPath(QStringLiteral("images/cc33.png"))), fileMode);
    EXPECT_EQ(store->storeFilePath(), localPath(QStringLiteral("store.json")));
}

TEST_F(ClipboardStoreTest, EqualImagesShareOneFileNamedByHash)
{
    auto store = makeStore();
    QSignalSpy added(store.get(), &ClipboardStore::imageClipAdded);
    const QByteArray png("same image bytes");
    ASSERT_TRUE(store->addCapturedImage(ClipItem{}, png));
    ASSERT_TRUE(store->addCapturedImage(ClipItem{}, png));
    ASSERT_EQ(added.count(), 1) << "a repeated image is not new";
    EXPECT_EQ(added.first().first().toUuid(), store->history().first().id);
    store->saveNow();
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha256).toHex());
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().imageFileName, hash + QStringLiteral(".png"));
    EXPECT_EQ(QDir(localPath(QStringLiteral("images"))).entryList(QDir::Files),
              QStringList{hash + QStringLiteral(".png")});
    EXPECT_EQ(store->imageFilePath(store->history().first()),
              localPath(QStringLiteral("images/") + hash + ".png"));
}

TEST_F(ClipboardStoreTest, StoreFileFollowsTheJsonConventions)
{
    auto store = makeStore();
    ClipItem clip;
    clip.id = QUuid::fromString(QStringLiteral("{0f8fad5b-d9cb-469f-a165-70867728950e}"));
    clip.type = ClipType::richText;
    clip.text = QStringLiteral("Hi");
    clip.rtfData = QByteArray("{\\rtf1 Hi}");
    clip.createdAt = QDateTime(QDate(2001, 1, 1), QTime(0, 1, 40), Qt::UTC);
    store->addCaptured(clip);
    store->saveNow();

    const QJsonObject root = QJsonDocument::fromJson(readFile(store->storeFilePath())).object();
    EXPECT_EQ(root.keys(),
              (QStringList{"deletedClips", "deletedPinboards", "history", "pinboards", "version"}));
    EXPECT_EQ(root.value("version").toInt(), 1);
    const QJsonObject stored = root.value("history").toArray().first().toObject();
    EXPECT_EQ(stored.keys(), (QStringList{"createdAt", "id", "rtfData", "text", "type"}));
    EXPECT_EQ(stored.value("id").toString(), QStringLiteral("0F8FAD5B-D9CB-469F-A165-70867728950E"));
    EXPECT_EQ(stored.value("type").toString(), QStringLiteral("richText"));
    EXPECT_DOUBLE_EQ(stored.value("createdAt").toDouble(), 100.0);
    EXPECT_EQ(stored.value("rtfData").toString(), QStringLiteral("e1xydGYxIEhpfQ=="));
}

TEST_F(ClipboardStoreTest, SavesAreDebouncedAndAnnouncedWithoutSender)
{
    auto store = makeStore();
    int saves = 0;
    QObject* lastSender = store.get();
    QObject context;
    NotificationCenter::shared().observe(Notifications::storeDidSave, &context, [&](QObject* sender) {
        ++saves;
        lastSender = sender;
    });
    // Guards a save written at once, or one per request. The requests come 100 ms apart on the
    // store's clock, with no event handled between them, so a stalled machine can't fire the
    // timer early.
    store->addCaptured(textClip(QStringLiteral("one"), clock));
    clock = clock.addMSecs(100);
    store->addCaptured(textClip(QStringLiteral("two"), clock));
    clock = clock.addMSecs(100);
    store->scheduleSave();
    EXPECT_EQ(saves, 0) << "nothing is written before the delay";
    EXPECT_FALSE(QFileInfo::exists(store->storeFilePath()));

    ASSERT_TRUE(QTest::qWaitFor([&] { return saves > 0; }, 5000));
    EXPECT_FALSE(store->hasUnsavedChanges());
    QCoreApplication::processEvents();
    EXPECT_EQ(saves, 1) << "three requests within the delay make one save";
    EXPECT_EQ(lastSender, nullptr);
    const auto decoded = StoreFileCodec::decode(readFile(store->storeFilePath()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(texts(decoded->snapshot.history), (QStringList{"two", "one"}));

    store->addCaptured(textClip(QStringLiteral("three"), clock));
    store->saveNow();
    EXPECT_EQ(saves, 2) << "at once";
}

TEST_F(ClipboardStoreTest, SizeLimitsCutTextAndRefuseHugeImages)
{
    auto store = makeStore();
    ClipItem huge = textClip(QString(ClipboardStore::maxTextLength + 10, QLatin1Char('x')), clock);
    store->addCaptured(huge);
    EXPECT_EQ(store->history().first().text->size(), ClipboardStore::maxTextLength);

    ClipItem rich = textClip(QStringLiteral("rich"), clock);
    rich.type = ClipType::richText;
    rich.htmlData = QByteArray(ClipboardStore::maxRichTextBytes + 1, 'h');
    store->addCaptured(rich);
    EXPECT_EQ(store->history().first().type, ClipType::text);
    EXPECT_FALSE(store->history().first().htmlData);

    EXPECT_FALSE(store->addCapturedImage(ClipItem{}, QByteArray(ClipboardStore::maxImageBytes + 1, 'i')));
    EXPECT_EQ(store->history().size(), 2);
}

// Bad files

struct BadStoreCase {
    const char* name;
    QByteArray bytes;
    QStringList readable;
};

class BadStoreFileTest : public ClipboardStoreTest, public ::testing::WithParamInterface<BadStoreCase> {};

TEST_P(BadStoreFileTest, IsKeptUntilTheUserChangesSomethingThenSetAside)
{
    const QString path = localPath(QStringLiteral("store.json"));
    writeFile(path, GetParam().bytes);
    auto store = makeStore();
    EXPECT_EQ(texts(store->history()), GetParam().readable);
    EXPECT_EQ(store->unreadableStoreFile(), path);

    store->saveNow();
    store->scheduleSave();
    QTest::qWait(700);
    EXPECT_EQ(readFile(path), GetParam().bytes) << "not overwritten before the user acts";

    store->addCaptured(textClip(QStringLiteral("new"), clock));
    store->saveNow();
    const QStringList aside =
        QDir(localPath(QString())).entryList({QStringLiteral("store.json.unreadable-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(localPath(aside.first())), GetParam().bytes);
    const auto decoded = StoreFileCodec::decode(readFile(path));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(texts(decoded->snapshot.history), QStringList{"new"} + GetParam().readable);
    EXPECT_FALSE(store->unreadableStoreFile());
}

const QByteArray oneGoodOneBad = R"({"version":1,"history":[
    {"id":"0F8FAD5B-D9CB-469F-A165-70867728950E","type":"text","text":"kept","createdAt":10},
    {"id":"not-a-uuid","type":"text","text":"bad","createdAt":11}],"pinboards":[]})";

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadStoreFileTest,
    ::testing::Values(BadStoreCase{"garbage", QByteArray("{not json"), {}},
                      BadStoreCase{"empty", QByteArray(), {}}, BadStoreCase{"array", QByteArray("[1,2]"), {}},
                      BadStoreCase{"newerVersion", QByteArray(R"({"version":2,"history":[]})"), {}},
                      BadStoreCase{"noVersion", QByteArray(R"({"history":[]})"), {}},
                      BadStoreCase{"historyNotArray", QByteArray(R"({"version":1,"history":{}})"), {}},
                      BadStoreCase{"oneMalformedClip", oneGoodOneBad, {"kept"}},
                      BadStoreCase{"hugeTime",
                                   R"({"version":1,"history":[{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E",)"
                                   R"("type":"text","text":"t","createdAt":1e300}]})",
                                   {}},
                      BadStoreCase{"badBase64",
                                   R"({"version":1,"history":[{"id":"0F8FAD5B-D9CB-469F-A165-70867728950E",)"
                                   R"("type":"richText","text":"t","rtfData":"!!","createdAt":1}]})",
                                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClipboardStoreTest, MissingImageFileStillLoadsTheClip)
{
    StoreSnapshot snapshot;
    ClipItem missing = imageClip(QStringLiteral("gone"), clock);
    missing.imageFileName = QStringLiteral("gone.png");
    ClipItem present = imageClip(QStringLiteral("here"), clock.addSecs(-1));
    present.imageFileName = QStringLiteral("here.png");
    ClipItem escaping = imageClip(QStringLiteral("escape"), clock.addSecs(-2));
    escaping.imageFileName = QStringLiteral("../sentinel.txt");
    snapshot.history = {missing, present, escaping};
    writeFile(localPath(QStringLiteral("store.json")), StoreFileCodec::encode(snapshot));
    writeFile(localPath(QStringLiteral("images/here.png")), "png");
    writeFile(localPath(QStringLiteral("sentinel.txt")), "keep me");

    auto store = makeStore();
    ASSERT_EQ(store->history().size(), 3);
    EXPECT_FALSE(store->unreadableStoreFile());
    EXPECT_FALSE(store->imageFilePath(store->history()[0]));
    EXPECT_EQ(store->imageFilePath(store->history()[1]), localPath(QStringLiteral("images/here.png")));
    EXPECT_FALSE(store->imageFilePath(store->history()[2])) << "only plain names inside the images folder";

    Settings::shared().setDeletePermanently(true);
    store->deleteItems({escaping.id});
    store->saveNow();
    EXPECT_EQ(readFile(localPath(QStringLiteral("sentinel.txt"))), QByteArray("keep me"))
        << "a stored name never reaches outside the images folder";
}

TEST_F(ClipboardStoreTest, ReloadGivesBackWhatWasSaved)
{
    auto store = makeStore();
    store->addCaptured(textClip(QStringLiteral("a"), clock));
    ClipItem color;
    color.type = ClipType::color;
    color.colorHex = QStringLiteral("#112233");
    color.sourceBundleID = QStringLiteral("org.gnome.TextEditor");
    color.createdAt = clock;
    store->addCaptured(color);
    const QUuid board = store->addPinboard(QStringLiteral("Board"), QStringLiteral("#445566"));
    store->pin(color.id, board);
    store->saveNow();

    auto reloaded = makeStore();
    EXPECT_EQ(reloaded->history(), store->history());
    EXPECT_EQ(reloaded->pinboards(), store->pinboards());
}

// Pinboards and edits

TEST_F(ClipboardStoreTest, PinboardsHoldCopiesAndRecordTheirDeletion)
{
    auto store = makeStore();
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("shared"), clock), QByteArray("s")));
    const QUuid inHistory = store->history().first().id;
    ASSERT_TRUE(store->addCapturedImage(imageClip(QStringLiteral("only"), clock), QByteArray("o")));
    const QUuid onlyPinned = store->history().first().id;
    const QUuid first = store->addPinboard(QStringLiteral("First"), QStringLiteral("#111111"));
    const QUuid second = store->addPinboard(QStringLiteral("Second"), QStringLiteral("#222222"));

    const auto copy = store->pin(inHistory, first);
    ASSERT_TRUE(copy);
    EXPECT_NE(*copy, inHistory) << "a pinned clip is a copy under its own identifier";
    ASSERT_TRUE(store->pin(onlyPinned, first));
    EXPECT_FALSE(store->pin(inHistory, QUuid::createUuid()));
    EXPECT_FALSE(store->pin(QUuid::createUuid(), first));
    Settings::shared().setDeletePermanently(true);
    store->deleteItems({onlyPinned});

    EXPECT_FALSE(store->movePinboard(0, 2));
    EXPECT_TRUE(store->movePinboard(1, 0));
    EXPECT_EQ(store->pinboards().first().id, second);
    EXPECT_TRUE(store->setPinboardColor(second, QStringLiteral("#333333")));
    EXPECT_EQ(store->pinboards().first().colorHex, QStringLiteral("#333333"));

    clock = clock.addSecs(30);
    EXPECT_TRUE(store->removePinboard(first));
    EXPECT_FALSE(store->removePinboard(first));
    store->saveNow();
    EXPECT_EQ(store->snapshot().deletedPinboards.value(first), clock);
    EXPECT_TRUE(QFileInfo::exists(localPath(QStringLiteral("images/shared.png"))))
        << "the history still uses it";
    EXPECT_FALSE(QFileInfo::exists(localPath(QStringLiteral("images/only.png"))));
}

TEST_F(ClipboardStoreTest, AnEditIsTheNewerVersionWhenMerged)
{
    auto store = makeStore();
    store->addCaptured(textClip(QStringLiteral("draft"), clock.addSecs(-60)));
    ClipItem edited = store->history().first();
    const ClipItem original = edited;
    edited.text = QStringLiteral("final");
    clock = clock.addSecs(10);
    ASSERT_TRUE(store->updateItem(edited));
    EXPECT_EQ(store->history().first().modifiedAt, clock);
    EXPECT_FALSE(store->updateItem(textClip(QStringLiteral("unknown"), clock)));

    StoreSnapshot stale;
    stale.history = {original};
    EXPECT_EQ(StoreMerge::merge(stale, store->snapshot()).history.first().text, QStringLiteral("final"));
}
