#include "fakes/FakeCloudDrive.h"

#include "App/DemoSeed.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DemoSeedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        cloud.path = temp.filePath(QStringLiteral("cloud"));
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = temp.filePath(QStringLiteral("Vellora-Demo"));
        environment.cloudDrive = &cloud;
        store = std::make_unique<ClipboardStore>(environment);
        store->load();
    }

    QSet<ClipType> kinds() const
    {
        QSet<ClipType> set;
        for (const ClipItem& item : store->history())
            set.insert(item.type);
        return set;
    }

    QTemporaryDir temp;
    FakeCloudDrive cloud;
    std::unique_ptr<ClipboardStore> store;
};

TEST_F(DemoSeedTest, samplesCoverEveryKindOldestFirst)
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
    const QList<DemoSeed::Sample> samples = DemoSeed::samples(temp.path(), now);
    QSet<ClipType> sampleKinds;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        sampleKinds.insert(samples.at(i).item.type);
        EXPECT_TRUE(samples.at(i).item.sourceAppName.has_value()) << i;
        if (i > 0) {
            EXPECT_LT(samples.at(i - 1).item.createdAt, samples.at(i).item.createdAt) << i;
        }
        EXPECT_EQ(samples.at(i).png.isEmpty(), samples.at(i).item.type != ClipType::image) << i;
    }
    EXPECT_EQ(samples.last().item.createdAt, now);
    EXPECT_EQ(sampleKinds.size(), ClipTypes::allCases().size());
}

TEST_F(DemoSeedTest, fillsTheStoreWithEveryKindAndItsFiles)
{
    DemoSeed::fill(*store);
    EXPECT_EQ(kinds().size(), ClipTypes::allCases().size());
    const qsizetype count = store->history().size();
    store->saveNow();
    for (const ClipItem& item : store->history()) {
        if (item.type == ClipType::image) {
            const std::optional<QString> path = store->imageFilePath(item);
            ASSERT_TRUE(path);
            EXPECT_FALSE(QImage(*path).isNull());
        }
        if (item.type == ClipType::file) {
            ASSERT_EQ(item.fileURLs.size(), 1);
            const QString path = item.fileURLs.first().toLocalFile();
            EXPECT_TRUE(path.startsWith(store->baseDir() + QLatin1Char('/'))) << path.toStdString();
            EXPECT_TRUE(QFile::exists(path));
            EXPECT_EQ(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        }
    }

    DemoSeed::fill(*store);
    EXPECT_EQ(store->history().size(), count) << "a second run repeats no sample";
}

TEST_F(DemoSeedTest, leavesTheFileClipOutWhenItsFileCantBeWritten)
{
    ASSERT_TRUE(QDir().mkpath(store->baseDir()));
    QFile blocker(QDir(store->baseDir()).filePath(QStringLiteral("Samples")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    DemoSeed::fill(*store);
    EXPECT_FALSE(kinds().contains(ClipType::file));
    EXPECT_EQ(kinds().size(), ClipTypes::allCases().size() - 1);
}

} // namespace
