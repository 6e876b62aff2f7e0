#include "HistoryRetentionFixture.h"

#include "../../unit/Settings/LanguageScope.h"

#include <QFuture>
#include <QSemaphore>
#include <QThreadPool>
#include <atomic>
#include <sys/stat.h>

using HistoryRetentionStorage = HistoryRetentionFixture;

namespace {

constexpr qint64 kilobyte = 1024;

Pinboard pinboard(const QString& name, const QList<ClipItem>& clips)
{
    Pinboard board;
    board.name = name;
    board.colorHex = QStringLiteral("#FF5A9F");
    board.clips = clips;
    return board;
}

void writeFile(const QString& path, qint64 bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(QByteArray(bytes, 'x'));
}

// Lets every finished measurement report back to the main thread.
void settleMeasurements()
{
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

struct SummaryCase {
    const char* name;
    int historyCount;
    QList<int> pinboardCounts;
    QString countText;
};

class HistoryRetentionSummary : public HistoryRetentionFixture,
                                public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(HistoryRetentionSummary, CountsHistoryAndPinboardsThenAddsTheSize)
{
    const SummaryCase& c = GetParam();
    QList<Pinboard> boards;
    for (const int clips : c.pinboardCounts)
        boards.append(pinboard(QStringLiteral("Board %1").arg(boards.size()), recentClips(clips)));
    QSemaphore release;
    load(recentClips(c.historyCount), boards, [&release](const QString&) {
        release.acquire();
        return qint64(1500);
    });
    section->show();

    // Until the first measurement lands the summary is the count alone.
    EXPECT_EQ(section->storageSummary(), c.countText);
    EXPECT_EQ(text(QStringLiteral("retentionStorageSummary")), c.countText);

    release.release();
    settleMeasurements();
    const QString full = c.countText + QStringLiteral(" · 2 KB");
    EXPECT_EQ(section->storageSummary(), full);
    EXPECT_EQ(text(QStringLiteral("retentionStorageSummary")), full);
}

INSTANTIATE_TEST_SUITE_P(Counts, HistoryRetentionSummary,
                         ::testing::Values(SummaryCase{"Empty", 0, {}, QStringLiteral("0 clips")},
                                           SummaryCase{"OneInHistory", 1, {}, QStringLiteral("1 clip")},
                                           SummaryCase{"OneInAPinboard", 0, {1}, QStringLiteral("1 clip")},
                                           SummaryCase{"Both", 2, {3, 0, 4}, QStringLiteral("9 clips")},
                                           SummaryCase{"Thousands", 1234, {}, QStringLiteral("1234 clips")}),
                         [](const auto& info) { return std::string(info.param.name); });

// Pinboard clips count in the summary but never in what a limit removes.
TEST_F(HistoryRetentionStorage, PinboardClipsNeverCountAsRemovals)
{
    setSaved(HistoryRetentionMode::itemCount, 100, 30);
    load(recentClips(30), {pinboard(QStringLiteral("Kept"), recentClips(40))},
         [](const QString&) { return 0; });
    section->show();
    settleMeasurements();

    clickLimit(QStringLiteral("retentionLimitDecrease")); // 50, below the 70 clips in all
    EXPECT_EQ(section->confirmation(), nullptr);
    EXPECT_EQ(settings().historyLimit(), 50);
    EXPECT_EQ(store->history().size(), 30);
    EXPECT_EQ(store->pinboards().first().clips.size(), 40);
    EXPECT_EQ(section->storageSummary(), QStringLiteral("70 clips · Zero KB"));
}

TEST_F(HistoryRetentionStorage, TheSummaryFollowsTheHistory)
{
    load(recentClips(3), {}, [](const QString&) { return qint64(2'500'000); });
    section->show();
    settleMeasurements();
    EXPECT_EQ(text(QStringLiteral("retentionStorageSummary")), QStringLiteral("3 clips · 2.5 MB"));

    store->deleteItems({store->history().first().id});
    EXPECT_EQ(text(QStringLiteral("retentionStorageSummary")), QStringLiteral("2 clips · 2.5 MB"));
}

// A measurement that ends after a newer one has been shown is dropped.
TEST_F(HistoryRetentionStorage, AStaleMeasurementNeverOverwritesANewerOne)
{
    QSemaphore releaseFirst;
    std::atomic<int> calls = 0;
    load(recentClips(2), {}, [&](const QString&) {
        if (++calls == 1) {
            releaseFirst.acquire();
            return qint64(111'000);
        }
        return qint64(222'000);
    });
    section->show(); // the first measurement, held back
    // Only once it is held does the second start: the two run on a pool, in any order.
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() == 1; }));

    NotificationCenter::shared().post(Notifications::storeDidSave); // the second
    ASSERT_TRUE(QTest::qWaitFor([&] { return section->storageBytes() == qint64(222'000); }));

    releaseFirst.release();
    settleMeasurements();
    EXPECT_EQ(calls.load(), 2);
    EXPECT_EQ(section->storageBytes(), qint64(222'000));
    EXPECT_EQ(section->storageSummary(), QStringLiteral("2 clips · 222 KB"));
}

TEST_F(HistoryRetentionStorage, MeasuresTheStoresDirectoryOnEverySaveWhileShown)
{
    QStringList measured;
    std::atomic<int> calls = 0;
    QMutex mutex;
    load(recentClips(2), {}, [&](const QString& directory) {
        const QMutexLocker locker(&mutex);
        measured.append(directory);
        return qint64(++calls * 1000);
    });
    EXPECT_EQ(calls.load(), 0); // nothing measured before it is shown

    section->show();
    settleMeasurements();
    EXPECT_EQ(section->storageSummary(), QStringLiteral("2 clips · 1 KB"));

    NotificationCenter::shared().post(Notifications::storeDidSave);
    settleMeasurements();
    EXPECT_EQ(calls.load(), 2);
    EXPECT_EQ(section->storageSummary(), QStringLiteral("2 clips · 2 KB"));

    section->hide();
    NotificationCenter::shared().post(Notifications::storeDidSave);
    settleMeasurements();
    EXPECT_EQ(calls.load(), 2);
    EXPECT_EQ(section->storageSummary(), QStringLiteral("2 clips · 2 KB")); // the last value stays

    section->show(); // shown again: measured at once
    settleMeasurements();
    EXPECT_EQ(calls.load(), 3);
    const QMutexLocker locker(&mutex);
    EXPECT_EQ(measured, QStringList(3, store->baseDir()));
}

// End to end with the real store and the real measurement: a confirmed trim is saved, and
// the save's notification brings the new size.
TEST_F(HistoryRetentionStorage, AConfirmedTrimIsSavedAndMeasuredAgain)
{
    setSaved(HistoryRetentionMode::itemCount, 100, 30);
    load(recentClips(80));
    section->show();
    settleMeasurements();
    ASSERT_TRUE(section->storageBytes().has_value());
    const QString storeFile = QDir(dataDir.path()).filePath(ClipboardStore::storeFileName);
    const qint64 before = QFileInfo(storeFile).size();
    // A big file beside the store, so that the next measurement differs for sure.
    writeFile(QDir(dataDir.path()).filePath(QStringLiteral("spare.bin")), 256 * kilobyte);

    clickLimit(QStringLiteral("retentionLimitDecrease"));
    ASSERT_NE(section->confirmation(), nullptr);
    EXPECT_EQ(section->pendingRemovalCount(), 30);
    confirmationButton(QStringLiteral("Remove 30 Clips"))->click();
    EXPECT_EQ(store->history().size(), 50);

    const std::optional<qint64> first = section->storageBytes();
    ASSERT_TRUE(QTest::qWaitFor([&] { return section->storageBytes() != first; }));
    settleMeasurements();
    EXPECT_LT(QFileInfo(storeFile).size(), before);
    EXPECT_EQ(section->storageBytes(), HistoryRetentionSettings::directorySize(store->baseDir()));
    EXPECT_GE(*section->storageBytes(), 256 * kilobyte);
}

// What a directory takes on disk: allocated blocks of regular files, hidden and nested ones
// included, links not followed.
TEST(HistoryRetentionDirectorySize, CountsAllocatedBytesOfRegularFilesOnly)
{
    QTemporaryDir outside;
    QTemporaryDir root;
    const QDir dir(root.path());
    ASSERT_TRUE(dir.mkpath(QStringLiteral("images/nested")));
    writeFile(dir.filePath(QStringLiteral("store.json")), 10 * kilobyte);
    writeFile(dir.filePath(QStringLiteral("images/a.png")), 100 * kilobyte);
    writeFile(dir.filePath(QStringLiteral("images/nested/b.png")), 50 * kilobyte);
    const qint64 visible = HistoryRetentionSettings::directorySize(root.path());
    EXPECT_GE(visible, 160 * kilobyte);
    EXPECT_EQ(visible % 512, 0);

    writeFile(dir.filePath(QStringLiteral(".hidden")), 200 * kilobyte);
    const qint64 withHidden = HistoryRetentionSettings::directorySize(root.path());
    EXPECT_GE(withHidden - visible, 200 * kilobyte);

    // A link to a large file elsewhere and a link to a folder add nothing.
    const QString big = QDir(outside.path()).filePath(QStringLiteral("big.bin"));
    writeFile(big, 4 * 1024 * kilobyte);
    ASSERT_TRUE(QFile::link(big, dir.filePath(QStringLiteral("link.bin"))));
    ASSERT_TRUE(QFile::link(outside.path(), dir.filePath(QStringLiteral("linked-folder"))));
    EXPECT_EQ(HistoryRetentionSettings::directorySize(root.path()), withHidden);

    // A sparse file takes far less than its length.
    QFile sparse(dir.filePath(QStringLiteral("sparse.bin")));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize(64 * 1024 * kilobyte));
    sparse.close();
    EXPECT_LT(HistoryRetentionSettings::directorySize(root.path()), withHidden + 1024 * kilobyte);
}

TEST(HistoryRetentionDirectorySize, AMissingOrUnreadableDirectoryIsZero)
{
    QTemporaryDir root;
    EXPECT_EQ(HistoryRetentionSettings::directorySize(QDir(root.path()).filePath(QStringLiteral("none"))), 0);
    EXPECT_EQ(HistoryRetentionSettings::directorySize(QString()), 0);
    const QString file = QDir(root.path()).filePath(QStringLiteral("plain.txt"));
    writeFile(file, kilobyte);
    EXPECT_EQ(HistoryRetentionSettings::directorySize(file), 0); // a file is no directory
}

struct ByteCase {
    qint64 bytes;
    AppLanguage language;
    QString text;
};

class HistoryRetentionByteCount : public ::testing::TestWithParam<ByteCase> {};

TEST_P(HistoryRetentionByteCount, FormatsInTheFileSizeStyleOfTheLanguage)
{
    const LanguageScope language(GetParam().language);
    EXPECT_EQ(HistoryRetentionSettings::byteCountText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, HistoryRetentionByteCount,
    ::testing::Values(ByteCase{0, AppLanguage::english, QStringLiteral("Zero KB")},
                      ByteCase{1, AppLanguage::english, QStringLiteral("1 byte")},
                      ByteCase{2, AppLanguage::english, QStringLiteral("2 bytes")},
                      ByteCase{999, AppLanguage::english, QStringLiteral("999 bytes")},
                      ByteCase{1000, AppLanguage::english, QStringLiteral("1 KB")},
                      ByteCase{1499, AppLanguage::english, QStringLiteral("1 KB")},
                      ByteCase{1500, AppLanguage::english, QStringLiteral("2 KB")},
                      ByteCase{999'499, AppLanguage::english, QStringLiteral("999 KB")},
                      ByteCase{999'500, AppLanguage::english, QStringLiteral("1 MB")},
                      ByteCase{1'000'000, AppLanguage::english, QStringLiteral("1 MB")},
                      ByteCase{1'250'000, AppLanguage::english, QStringLiteral("1.3 MB")},
                      ByteCase{12'345'678'901, AppLanguage::english, QStringLiteral("12.35 GB")},
                      ByteCase{2'000'000'000, AppLanguage::english, QStringLiteral("2 GB")},
                      ByteCase{999'996'000'000, AppLanguage::english, QStringLiteral("1 TB")},
                      ByteCase{0, AppLanguage::chinese, QStringLiteral("零 KB")},
                      ByteCase{5, AppLanguage::chinese, QStringLiteral("5 字节")},
                      ByteCase{1, AppLanguage::traditionalChinese, QStringLiteral("1 位元組")},
                      ByteCase{0, AppLanguage::japanese, QStringLiteral("ゼロ KB")},
                      ByteCase{1'500'000, AppLanguage::japanese, QStringLiteral("1.5 MB")}));

TEST_F(HistoryRetentionStorage, TextsFollowTheLanguage)
{
    load(recentClips(1), {}, [](const QString&) { return 0; });
    section->show();
    settleMeasurements();
    {
        const LanguageScope japanese(AppLanguage::japanese);
        EXPECT_EQ(section->title(), QStringLiteral("履歴"));
        EXPECT_EQ(text(QStringLiteral("retentionStorageSummary")),
                  QStringLiteral("1 件のクリップ · ゼロ KB"));
        EXPECT_EQ(text(QStringLiteral("retentionLimitLabel")), QStringLiteral("500 件のクリップ"));
    }
    EXPECT_EQ(section->title(), QStringLiteral("History"));
    EXPECT_EQ(text(QStringLiteral("retentionStorageSummary")), QStringLiteral("1 clip · Zero KB"));
}
