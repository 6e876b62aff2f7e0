#include "Store/StoreFileCodec.h"
#include "Models/JsonCoding.h"
#include "Store/StoreFileEncoder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
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

// Runs a shell command in another process: the edits of the file by another program.
void runShell(const QString& command)
{
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    ASSERT_TRUE(shell.waitForFinished(10000));
    ASSERT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
}

// Writes `bytes` over the file at `offset` in place; `keepTimes` puts its times back after.
void editInPlace(const QString& path, qint64 offset, const QByteArray& bytes, bool keepTimes)
{
    QString octal;
    for (const char byte : bytes)
        octal += QString::asprintf("\\%03o", unsigned(uchar(byte)));
    const QString times = path + QStringLiteral(".times");
    const QString edit = QStringLiteral("printf '%1' | dd of='%2' bs=1 seek=%3 conv=notrunc status=none")
                             .arg(octal, path, QString::number(offset));
    runShell(keepTimes
                 ? QStringLiteral("touch -r '%1' '%2' && %3 && touch -r '%2' '%1'").arg(path, times, edit)
                 : edit);
}

struct InPlaceEdit {
    const char* name;
    // What is written over the first place of `from` in the file: a letter, a quote, another
    // store of the same size with the same identifiers.
    std::function<QByteArray(const StoreSnapshot&)> from;
    std::function<QByteArray(const StoreSnapshot&)> to;
    // Made while the encoder copies from the file, after its first clip, times not put back.
    bool duringSave;
};

class InPlaceEditTest : public testing::TestWithParam<InPlaceEdit> {};

// Another program's edit of the file it reads back (times put back, or while it copies) never
// reaches the file written: it holds every clip as in memory and always parses.
TEST_P(InPlaceEditTest, SavesNeverCopyBytesAnotherProgramChanged)
{
    const InPlaceEdit& edit = GetParam();
    for (const bool loadedFirst : {false, true}) {
        const QTemporaryDir dir;
        const QString path = dir.filePath("store.json");
        const StoreSnapshot snapshot = mixedSnapshot();
        StoreFileEncoder written;
        ASSERT_EQ(written.write(path, snapshot), std::nullopt);
        StoreFileEncoder loaded;
        if (loadedFirst) {
            const auto decoded = StoreFileCodec::decode(fileBytes(path));
            ASSERT_TRUE(decoded);
            loaded.prime(decoded->snapshot.history, decoded->historySpans, path);
        }
        StoreFileEncoder& encoder = loadedFirst ? loaded : written;
        const QByteArray from = edit.from(snapshot);
        const qint64 at = fileBytes(path).indexOf(from);
        ASSERT_GE(at, 0);
        bool edited = false;
        const auto change = [&] {
            editInPlace(path, at, edit.to(snapshot), !edit.duringSave);
            edited = fileBytes(path) != documentBytes(snapshot);
        };
        if (edit.duringSave)
            encoder.setAfterFirstReadBackForTesting(change);
        else
            change();

        ASSERT_EQ(encoder.write(path, snapshot), std::nullopt);
        ASSERT_TRUE(edited);
        const auto reread = StoreFileCodec::decode(fileBytes(path));
        ASSERT_TRUE(reread) << edit.name << " loaded first: " << loadedFirst;
        EXPECT_EQ(reread->snapshot, snapshot) << edit.name << " loaded first: " << loadedFirst;
    }
}

// A store of the same size with the same identifiers and other words.
QByteArray otherWords(const StoreSnapshot& snapshot)
{
    StoreSnapshot other = snapshot;
    for (ClipItem& clip : other.history) {
        if (clip.text)
            clip.text = QString(*clip.text).replace(u'o', u'0');
        if (clip.ocrText)
            clip.ocrText = QString(*clip.ocrText).replace(u'O', u'0');
    }
    return documentBytes(other);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, InPlaceEditTest,
    testing::Values(InPlaceEdit{"letter", [](auto&) { return QByteArray("INVOICE"); },
                                [](auto&) { return QByteArray("INVOICF"); }, false},
                    InPlaceEdit{"quote", [](auto&) { return QByteArray("INVOICE"); },
                                [](auto&) { return QByteArray("INVOIC\""); }, false},
                    InPlaceEdit{"otherStoreOfTheSameSizeAndIdentifiers", documentBytes, otherWords, false},
                    InPlaceEdit{"quoteWhileCopying", [](auto&) { return QByteArray("INVOICE"); },
                                [](auto&) { return QByteArray("INVOIC\""); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

// A file another program rewrote in place is not copied from: its clips are encoded anew.
TEST(StoreFileEncoder, EncodesAFileRewrittenInPlaceAnew)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("store.json");
    const StoreSnapshot snapshot = mixedSnapshot();
    StoreFileEncoder written;
    ASSERT_EQ(written.write(path, snapshot), std::nullopt);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(fileBytes(path).indexOf("INVOICE") + 6) && file.write("F") == 1 && file.flush());
    EXPECT_EQ(written.encode(snapshot), documentBytes(snapshot));
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
