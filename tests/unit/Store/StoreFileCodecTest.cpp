#include "Store/StoreFileCodec.h"
#include "Models/JsonCoding.h"
#include "Store/StoreFileEncoder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QDateTime start(QDate(2026, 2, 1), QTime(9, 30), Qt::UTC);

// The whole document encoded at once: the bytes the file has always had.
QByteArray documentBytes(const StoreSnapshot& snapshot)
{
    QJsonArray history;
    for (const ClipItem& clip : snapshot.history)
        history.append(clip.toJson());
    QJsonArray pinboards;
    for (const Pinboard& board : snapshot.pinboards)
        pinboards.append(board.toJson());
    const auto tombstones = [](const QHash<QUuid, QDateTime>& deleted) {
        QList<QUuid> ids = deleted.keys();
        std::sort(ids.begin(), ids.end(),
                  [](const QUuid& a, const QUuid& b) { return a.toString() < b.toString(); });
        QJsonArray array;
        for (const QUuid& id : ids)
            array.append(
                QJsonObject{{"id", JsonCoding::uuidString(id)},
                            {"deletedAt", JsonCoding::secondsSinceReferenceDate(deleted.value(id))}});
        return array;
    };
    return QJsonDocument(QJsonObject{{"version", 1},
                                     {"history", history},
                                     {"pinboards", pinboards},
                                     {"deletedClips", tombstones(snapshot.deletedClips)},
                                     {"deletedPinboards", tombstones(snapshot.deletedPinboards)}})
        .toJson(QJsonDocument::Compact);
}

StoreSnapshot mixedSnapshot()
{
    StoreSnapshot snapshot;
    ClipItem text;
    text.text = QStringLiteral("Grüße \"quoted\" \\ back\nslash \u2028 😀");
    text.sourceAppName = QStringLiteral("Text Editor");
    text.createdAt = start.addMSecs(1234);
    ClipItem rich;
    rich.type = ClipType::richText;
    rich.text = QStringLiteral("bold");
    rich.rtfData = QByteArray("{\\rtf1 \\b bold}");
    rich.htmlData = QByteArray("<b>bold</b>");
    rich.createdAt = start.addSecs(-60);
    rich.modifiedAt = start.addSecs(5);
    ClipItem files;
    files.type = ClipType::file;
    files.fileURLs = {QUrl::fromLocalFile(QStringLiteral("/home/ana/a b.pdf"))};
    files.createdAt = start.addSecs(-120);
    ClipItem image;
    image.type = ClipType::image;
    image.imageHash = QStringLiteral("ab12");
    image.imageFileName = QStringLiteral("ab12.png");
    image.ocrText = QStringLiteral("INVOICE");
    image.createdAt = start.addSecs(-180);
    snapshot.history = {text, rich, files, image};
    Pinboard board;
    board.name = QStringLiteral("Work");
    board.colorHex = QStringLiteral("#FF0000");
    board.clips = {text};
    board.clips.first().id = QUuid::createUuid();
    board.isCloudPlaceholder = false;
    board.modifiedAt = start;
    Pinboard empty;
    empty.name = QStringLiteral("Empty");
    empty.modifiedAt = start.addSecs(1);
    snapshot.pinboards = {board, empty};
    snapshot.deletedClips.insert(QUuid::createUuid(), start.addDays(-2));
    snapshot.deletedClips.insert(QUuid::createUuid(), start.addDays(-1));
    snapshot.deletedPinboards.insert(QUuid::createUuid(), start);
    return snapshot;
}

struct Change {
    const char* name;
    std::function<void(StoreSnapshot&)> apply;
};

class StoreFileEncoderTest : public testing::TestWithParam<Change> {};

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// After a write, and after loading the file, unchanged clips are read back and changed ones encoded.
TEST_P(StoreFileEncoderTest, WritesTheBytesOfTheWholeDocumentAfterEachChange)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("store.json");
    StoreSnapshot snapshot = mixedSnapshot();
    StoreFileEncoder encoder;
    ASSERT_EQ(encoder.write(path, snapshot), std::nullopt);
    ASSERT_EQ(fileBytes(path), documentBytes(snapshot));
    const auto decoded = StoreFileCodec::decode(fileBytes(path));
    ASSERT_TRUE(decoded);
    StoreFileEncoder loaded;
    loaded.prime(decoded->snapshot.history, decoded->historySpans, path);
    GetParam().apply(snapshot);
    EXPECT_EQ(loaded.encode(snapshot), documentBytes(snapshot)) << GetParam().name;
    ASSERT_EQ(encoder.write(path, snapshot), std::nullopt);
    EXPECT_EQ(fileBytes(path), documentBytes(snapshot)) << GetParam().name;
    EXPECT_EQ(encoder.encode(snapshot), documentBytes(snapshot)) << GetParam().name;
}

// The bytes of an unchanged clip come from the file, not from memory or a new encoding.
TEST(StoreFileEncoder, ReadsUnchangedClipsBackFromTheFileWrittenOrLoaded)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("store.json");
    const StoreSnapshot snapshot = mixedSnapshot();
    StoreFileEncoder written;
    ASSERT_EQ(written.write(path, snapshot), std::nullopt);
    const auto decoded = StoreFileCodec::decode(fileBytes(path));
    ASSERT_TRUE(decoded);
    StoreFileEncoder loaded;
    loaded.prime(decoded->snapshot.history, decoded->historySpans, path);
    // One byte changed in place, the modification time put back: only a read-back copies it.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    struct stat before {};
    ASSERT_EQ(::fstat(file.handle(), &before), 0);
    const qint64 at = fileBytes(path).indexOf("INVOICE");
    ASSERT_TRUE(file.seek(at + 6) && file.write("F") == 1 && file.flush());
    timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::futimens(file.handle(), times), 0);
    EXPECT_TRUE(written.encode(snapshot).contains("INVOICF"));
    EXPECT_TRUE(loaded.encode(snapshot).contains("INVOICF"));

    // Bytes at a clip's place that name another clip (another program's file of the same
    // size) are not that clip's: it is encoded anew.
    const QByteArray id = JsonCoding::uuidString(snapshot.history.first().id).toLatin1();
    const QByteArray other = JsonCoding::uuidString(QUuid::createUuid()).toLatin1();
    ASSERT_TRUE(file.seek(fileBytes(path).indexOf(id)) && file.write(other) == other.size() && file.flush());
    ASSERT_EQ(::futimens(file.handle(), times), 0);
    EXPECT_FALSE(written.encode(snapshot).contains(other));
    EXPECT_FALSE(loaded.encode(snapshot).contains(other));

    // A file another program rewrote in place is not copied from: its clips are encoded anew.
    times[1].tv_sec += 1;
    ASSERT_EQ(::futimens(file.handle(), times), 0);
    EXPECT_EQ(written.encode(snapshot), documentBytes(snapshot));
    EXPECT_EQ(loaded.encode(snapshot), documentBytes(snapshot));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, StoreFileEncoderTest,
    testing::Values(Change{"nothing", [](StoreSnapshot&) {}},
                    Change{"copy", [](StoreSnapshot& s) { s.history.prepend(ClipItem{}); }},
                    Change{"editKeepsIdentifier",
                           [](StoreSnapshot& s) {
                               s.history[1].customTitle = QStringLiteral("renamed");
                               s.history[1].modifiedAt = start.addSecs(90);
                           }},
                    Change{"editWithinTheSameMillisecond",
                           [](StoreSnapshot& s) { s.history[0].text = QStringLiteral("x"); }},
                    Change{"removeAndReorder",
                           [](StoreSnapshot& s) {
                               s.history.removeAt(2);
                               s.history.move(0, 2);
                           }},
                    Change{"pinboardClipEdited",
                           [](StoreSnapshot& s) { s.pinboards[0].clips[0].text = QStringLiteral("pin"); }},
                    Change{"tombstones", [](StoreSnapshot& s) { s.deletedClips.clear(); }},
                    Change{"empty", [](StoreSnapshot& s) { s = StoreSnapshot{}; }}),
    [](const auto& info) { return std::string(info.param.name); });

// Whether the bytes are a store file by a parser that reads the whole tree.
bool isStoreDocument(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError && document.isObject() &&
           document.object().value("version").isDouble() &&
           document.object().value("version").toDouble() == 1;
}

TEST(StoreFileCodec, DecodesWhatAWholeDocumentParserAcceptsAndNothingElse)
{
    const StoreSnapshot snapshot = mixedSnapshot();
    const QByteArray good = documentBytes(snapshot);
    const auto decoded = StoreFileCodec::decode(good);
    ASSERT_TRUE(decoded);
    EXPECT_TRUE(decoded->complete);
    EXPECT_EQ(decoded->snapshot, snapshot);
    EXPECT_TRUE(StoreFileCodec::decode(" \r\n\xEF\xBB\xBF" + good + "\n").has_value() ==
                isStoreDocument(" \r\n\xEF\xBB\xBF" + good + "\n"));

    QRandomGenerator random(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = good;
        if (round % 3 == 0) {
            bytes.truncate(random.bounded(bytes.size()));
        } else {
            for (int i = 0, n = 1 + random.bounded(3); i < n; ++i)
                bytes[random.bounded(bytes.size())] = "{}[]\",:\\ 0a\x80"[random.bounded(13)];
        }
        const auto streamed = StoreFileCodec::decode(bytes);
        ASSERT_EQ(streamed.has_value(), isStoreDocument(bytes)) << bytes.toStdString();
    }
}

TEST(StoreFileCodec, HoldsADecodedAccentedTextInNoMoreRoomThanItsCharacters)
{
    ClipItem clip;
    clip.text = QStringLiteral("Café crème brûlée, déjà vu. ").repeated(200);
    StoreSnapshot snapshot;
    snapshot.history = {clip};
    const auto decoded = StoreFileCodec::decode(documentBytes(snapshot));
    ASSERT_TRUE(decoded);
    const QString& text = *decoded->snapshot.history.first().text;
    EXPECT_EQ(text, *clip.text);
    EXPECT_EQ(text.capacity(), text.size());
}

} // namespace
