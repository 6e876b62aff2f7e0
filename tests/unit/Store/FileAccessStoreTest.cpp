#include "Store/FileAccessStore.h"
#include "Util/FileAccessError.h"
#include "Util/FileAccessPresentation.h"
#include "fakes/FakeSystemLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class FileAccessStoreTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return temp.filePath(name); }
    QTemporaryDir temp;
};

TEST_F(FileAccessStoreTest, SaveCreatesThePrivateFolderAndWritesBase64ByPath)
{
    FileAccessStore store(path(QStringLiteral("data/file-access.json")));
    QSignalSpy changed(&store, &FileAccessStore::tableChanged);
    store.save({{QStringLiteral("/home/u/a.txt"), QByteArray("grant")}});

    EXPECT_EQ(QFileInfo(path(QStringLiteral("data"))).permissions() & 0x0777, QFile::Permissions(0x0700));
    EXPECT_EQ(QFileInfo(store.filePath()).permissions() & 0x0777, QFile::Permissions(0x0600));
    const QJsonObject object = QJsonDocument::fromJson(readFile(store.filePath())).object();
    EXPECT_EQ(object, (QJsonObject{{QStringLiteral("/home/u/a.txt"), QStringLiteral("Z3JhbnQ=")}}));
    EXPECT_EQ(store.table().value(QStringLiteral("/home/u/a.txt")), QByteArray("grant"));
    EXPECT_EQ(changed.count(), 1);

    FileAccessStore reread(store.filePath());
    EXPECT_EQ(reread.table(), store.table());

    store.save({});
    EXPECT_TRUE(store.table().isEmpty());
    EXPECT_EQ(QJsonDocument::fromJson(readFile(store.filePath())).object(), QJsonObject());
    store.save({});
    EXPECT_EQ(changed.count(), 2) << "clearing twice succeeds; only a real change signals";
}

struct FailureCase {
    const char* name;
    // Makes the store's file path unwritable in one way; gives the path and the blocker.
    std::function<std::pair<QString, QString>(const QTemporaryDir&)> prepare;
    FileAccessError::Kind kind;
    const char* message;
};

class FileAccessFailureTest : public FileAccessStoreTest,
                              public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FileAccessFailureTest, KeepsTheTableInMemoryTellsOnceAndRetries)
{
    const auto [file, blocker] = GetParam().prepare(temp);
    FakeSystemLog log;
    Platform::setSystemLogForTesting(&log);
    FileAccessStore store(file);
    const FileAccessStore::Table granted{{QStringLiteral("/x"), QByteArray("y")}};
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            store.save(granted);
            FAIL() << "expected a FileAccessError";
        } catch (const FileAccessError& error) {
            EXPECT_EQ(error.kind(), GetParam().kind);
            const QString where = GetParam().kind == FileAccessError::Kind::directoryNotWritable
                                      ? QFileInfo(file).absolutePath()
                                      : file;
            EXPECT_EQ(error.localizedDescription(),
                      QString::fromUtf8(GetParam().message) +
                          QStringLiteral(" Could not write %1. Vellora keeps your changes and tries again "
                                         "with the next change and when it quits.")
                              .arg(where));
            EXPECT_FALSE(error.reason().isEmpty());
        }
    }
    EXPECT_EQ(store.table(), granted);
    EXPECT_EQ(log.lines.size(), 1) << "one line for a run of failures";

    QDir(blocker).removeRecursively();
    QFile::remove(blocker);
    store.saveIfNeeded();
    EXPECT_EQ(FileAccessStore(file).table(), granted);
    Platform::setSystemLogForTesting(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileAccessFailureTest,
    ::testing::Values(FailureCase{"folderIsAFile",
                                  [](const QTemporaryDir& dir) {
                                      writeFile(dir.filePath(QStringLiteral("blocked")), "file");
                                      return std::pair{
                                          dir.filePath(QStringLiteral("blocked/file-access.json")),
                                          dir.filePath(QStringLiteral("blocked"))};
                                  },
                                  FileAccessError::Kind::directoryNotWritable,
                                  "The folder for saved file permissions could not be created."},
                      FailureCase{"fileIsAFolder",
                                  [](const QTemporaryDir& dir) {
                                      QDir(dir.path()).mkpath(QStringLiteral("file-access.json/inner"));
                                      return std::pair{dir.filePath(QStringLiteral("file-access.json")),
                                                       dir.filePath(QStringLiteral("file-access.json"))};
                                  },
                                  FileAccessError::Kind::fileNotWritable,
                                  "Saved file permissions could not be written."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileAccessStoreTest, MalformedEntriesAreLeftOutWhenReading)
{
    writeFile(path(QStringLiteral("file-access.json")), R"({"/good":"Z29vZA==","/number":5,"/bad":"***"})");
    FileAccessStore store(path(QStringLiteral("file-access.json")));
    EXPECT_EQ(store.table(), (FileAccessStore::Table{{QStringLiteral("/good"), QByteArray("good")}}));

    writeFile(path(QStringLiteral("other.json")), "not json");
    EXPECT_TRUE(FileAccessStore(path(QStringLiteral("other.json"))).table().isEmpty());
}

TEST_F(FileAccessStoreTest, GrantsAreKeptByNormalisedPath)
{
    const QString target = path(QStringLiteral("docs/a.txt"));
    QDir().mkpath(path(QStringLiteral("docs")));
    writeFile(target, "a");
    FileAccessStore store(path(QStringLiteral("file-access.json")));
    EXPECT_FALSE(store.hasAccess(target));

    store.grant(path(QStringLiteral("docs/../docs/./a.txt")));
    EXPECT_EQ(store.table().keys(), QStringList{target});
    EXPECT_EQ(store.table().value(target), target.toUtf8());
    EXPECT_TRUE(store.hasAccess(target));
    QFile::remove(target);
    EXPECT_FALSE(store.hasAccess(target)) << "a grant for a file that is gone gives no access";

    for (const auto& [raw, normal] :
         {std::pair{"/a/b/../c/", "/a/c"}, std::pair{"/a//b/./c", "/a/b/c"}, std::pair{"/", "/"}})
        EXPECT_EQ(FileAccessStore::normalisedPath(QString::fromLatin1(raw)), QString::fromLatin1(normal));
}

TEST(FileAccessPresentationState, RefreshCountsUpAndSignals)
{
    FileAccessPresentationState& state = FileAccessPresentationState::shared();
    QSignalSpy spy(&state, &FileAccessPresentationState::revisionChanged);
    const int before = state.revision();
    state.refresh();
    state.refresh();
    EXPECT_EQ(state.revision(), before + 2);
    EXPECT_EQ(spy.count(), 2);
}
