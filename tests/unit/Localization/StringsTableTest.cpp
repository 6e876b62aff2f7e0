#include "Util/StringsTable.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

using Entry = StringsTable::Entry;

struct GoodCase {
    const char* name;
    QByteArray input;
    QList<Entry> expected;
};

Entry entry(const char* key, const QString& value, int line)
{
    return Entry{QString::fromUtf8(key), value, line};
}

class StringsTableGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(StringsTableGood, ReadsEveryEntryWithItsLine)
{
    const StringsTable table = StringsTable::parse(GetParam().input);
    EXPECT_EQ(table.entries(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, StringsTableGood,
    ::testing::Values(
        GoodCase{"empty", "", {}}, GoodCase{"onlyComments", "/* header */\n// note\n  \n", {}},
        GoodCase{"simple", "\"Quit\" = \"Quit\";", {entry("Quit", QStringLiteral("Quit"), 1)}},
        GoodCase{"commentsBetweenTokens",
                 "/* c */\n// line\n\"a\"/*x*/=/*y*/\"b\" ; // t\n\"c\"=\"d\";",
                 {entry("a", QStringLiteral("b"), 3), entry("c", QStringLiteral("d"), 4)}},
        GoodCase{"escapes",
                 R"("k" = "q\"b\\s\nn\tt\rr\0z";)",
                 {entry("k", QStringLiteral("q\"b\\s\nn\tt\rr") + QChar(0) + QStringLiteral("z"), 1)}},
        GoodCase{"unicodeEscapes",
                 R"("k" = "\u00e9\U00C9 \uD83D\uDE00";)",
                 {entry("k", QStringLiteral("éÉ 😀"), 1)}},
        GoodCase{"unquoted", "key_1.x-y = Value2;", {entry("key_1.x-y", QStringLiteral("Value2"), 1)}},
        GoodCase{"newlineInsideString",
                 "\"a\" = \"one\ntwo\";\n\"b\" = \"c\";",
                 {entry("a", QStringLiteral("one\ntwo"), 1), entry("b", QStringLiteral("c"), 3)}},
        GoodCase{
            "commentMarkersInsideStrings", "\"a/*b\" = \"//c\";", {entry("a/*b", QStringLiteral("//c"), 1)}},
        GoodCase{"crlf",
                 "\"a\" = \"b\";\r\n\r\n\"c\" = \"d\";\r\n",
                 {entry("a", QStringLiteral("b"), 1), entry("c", QStringLiteral("d"), 3)}},
        GoodCase{"utf8Text", "\"Quit\" = \"終了\";", {entry("Quit", QStringLiteral("終了"), 1)}},
        GoodCase{"utf8Bom", "\xEF\xBB\xBF\"a\" = \"é\";", {entry("a", QStringLiteral("é"), 1)}},
        GoodCase{"emptyKeyAndValue", "\"\" = \"\";", {entry("", QString(), 1)}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    QByteArray input;
    int line;
    QString message;
};

class StringsTableBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(StringsTableBad, NamesTheFaultAndItsLine)
{
    try {
        (void)StringsTable::parse(GetParam().input);
        FAIL() << "parsed without an error";
    } catch (const StringsTable::Error& error) {
        EXPECT_EQ(error.message, GetParam().message);
        EXPECT_EQ(error.line, GetParam().line);
    }
}

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, StringsTableBad,
    ::testing::Values(
        BadCase{"unterminatedString", "\"a\" = \"b;\n\n", 1, QStringLiteral("unterminated string")},
        BadCase{"unterminatedStringLater", "\"a\" = \"b\";\n\n\"c\" = \"d", 3,
                QStringLiteral("unterminated string")},
        BadCase{"backslashAtEnd", "\"a\" = \"b\\", 1, QStringLiteral("unterminated string")},
        BadCase{"unterminatedComment", "\"a\" = \"b\";\n/* open\n\n", 2,
                QStringLiteral("unterminated comment")},
        BadCase{"missingEquals", "\"a\" \"b\";", 1, QStringLiteral("missing '=' after the key \"a\"")},
        BadCase{"missingEqualsAtEnd", "\n\"a\"\n", 2, QStringLiteral("missing '=' after the key \"a\"")},
        BadCase{"missingSemicolon", "\"a\" = \"b\"\n\"c\" = \"d\";", 1,
                QStringLiteral("missing ';' after the value of \"a\"")},
        BadCase{"missingSemicolonAtEnd", "\"a\" = \"b\"", 1,
                QStringLiteral("missing ';' after the value of \"a\"")},
        BadCase{"missingValue", "\"a\" = ;", 1, QStringLiteral("expected a value after '=', found ';'")},
        BadCase{"valueAtEnd", "\"a\" =", 1,
                QStringLiteral("expected a value after '=', found the end of the file")},
        BadCase{"strayCharacter", "\n\n{", 3, QStringLiteral("expected a key, found '{'")},
        BadCase{"singleSlash", "/ \"a\" = \"b\";", 1, QStringLiteral("expected a key, found '/'")},
        BadCase{"unknownEscape", "\"a\" = \"b\\q\";", 1, QStringLiteral("unknown escape \"\\q\"")},
        BadCase{"unknownEscapeOnSecondLine", "\"a\" = \"x\n\\y\";", 2,
                QStringLiteral("unknown escape \"\\y\"")},
        BadCase{"shortUnicodeEscape", "\"a\" = \"\\u12G4\";", 1,
                QStringLiteral("\"\\u\" needs four hexadecimal digits")},
        BadCase{"truncatedUnicodeEscape", "\"a\" = \"\\U12", 1,
                QStringLiteral("\"\\U\" needs four hexadecimal digits")},
        BadCase{"loneHighSurrogate", "\"a\" = \"\\uD83D\";", 1,
                QStringLiteral("unpaired surrogate in \"\\u\" escape")},
        BadCase{"loneLowSurrogate", "\"a\" = \"\\uDE00\";", 1,
                QStringLiteral("unpaired surrogate in \"\\u\" escape")},
        BadCase{"highThenNotLow", "\"a\" = \"\\uD83D\\u0041\";", 1,
                QStringLiteral("unpaired surrogate in \"\\u\" escape")},
        BadCase{"invalidUtf8", "\"a\" = \"b\";\n\"c\" = \"\xFF\";", 2,
                QStringLiteral("the text is not valid UTF-8")},
        BadCase{"truncatedUtf8", "\"a\" = \"\xE3\x81", 1, QStringLiteral("the text is not valid UTF-8")},
        BadCase{"oddUtf16", utf16(QStringLiteral("\"a\" = \"b\";"), QStringConverter::Utf16LE) + "x", 1,
                QStringLiteral("the text is not valid UTF-16")},
        BadCase{"loneSurrogateUtf16",
                utf16(QStringLiteral("\"a\" = \"b\";\n\"c\" = \""), QStringConverter::Utf16BE) +
                    QByteArray("\xD8\x3D\x00\x22\x00\x3B", 6),
                2, QStringLiteral("the text is not valid UTF-16")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringsTable, ReadsUtf16WithEitherByteOrderMark)
{
    const QString text = QStringLiteral("/* 日本語 */\n\"Quit\" = \"終了 😀\";\n");
    for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        const StringsTable table = StringsTable::parse(utf16(text, encoding));
        EXPECT_EQ(table.entries(), QList<Entry>{entry("Quit", QStringLiteral("終了 😀"), 2)});
    }
}

TEST(StringsTable, ReportsDuplicatesAndTheLastValueWins)
{
    const StringsTable table =
        StringsTable::parse("\"a\" = \"1\";\n\"b\" = \"2\";\n\"a\" = \"3\";\n\"a\" = \"4\";");
    EXPECT_EQ(table.duplicates(),
              (QList<Entry>{entry("a", QStringLiteral("3"), 3), entry("a", QStringLiteral("4"), 4)}));
    EXPECT_EQ(table.values().value(QStringLiteral("a")), QStringLiteral("4"));
    EXPECT_EQ(table.values().size(), 2);
}

TEST(StringsTable, ReadsAFileAndNamesAMissingOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Localizable.strings"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"a\" = \"b\";\n");
    file.close();
    EXPECT_EQ(StringsTable::read(path).values().value(QStringLiteral("a")), QStringLiteral("b"));

    try {
        (void)StringsTable::read(dir.filePath(QStringLiteral("missing.strings")));
        FAIL() << "read a missing file";
    } catch (const StringsTable::Error& error) {
        EXPECT_EQ(error.line, 0);
        EXPECT_TRUE(error.message.startsWith(QStringLiteral("can't be opened")))
            << error.message.toStdString();
    }
}

// Damaged copies of a good table either parse or give an Error on one of their lines; nothing
// else escapes and nothing crashes.
TEST(StringsTable, DamagedInputGivesAnErrorOrATable)
{
    constexpr int mutations = 3000;
    constexpr unsigned seed = 20261207;
    const QByteArray good =
        "/* head */\n\"Quit\" = \"終了\";\n// note\n\"%@ of %d\" = \"%2$dの%1$@\\n\\u00e9\";\n"
        "key_1 = value;\n";
    static constexpr char bytes[] = "\"\\/*;= \n\r\tuU0Aa\xE3\x81\xFF\x00"; // the last one is a NUL byte
    const QByteArray alphabet(bytes, sizeof(bytes) - 1);
    std::mt19937 random(seed);
    for (int i = 0; i < mutations; ++i) {
        QByteArray damaged = good;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = qsizetype(random() % quint32(damaged.size()));
            const char byte = alphabet.at(qsizetype(random() % quint32(alphabet.size())));
            if (random() % 3 == 0)
                damaged.remove(at, 1);
            else if (random() % 2 == 0)
                damaged.insert(at, byte);
            else
                damaged[at] = byte;
        }
        try {
            (void)StringsTable::parse(damaged);
        } catch (const StringsTable::Error& error) {
            ASSERT_GE(error.line, 1) << damaged.toStdString();
            ASSERT_LE(error.line, damaged.count('\n') + 1) << damaged.toStdString();
            ASSERT_FALSE(error.message.isEmpty());
        }
    }
}

TEST(StringsTable, ErrorDescriptionNamesTheLine)
{
    EXPECT_EQ((StringsTable::Error{4, QStringLiteral("unterminated string")}.description()),
              QStringLiteral("line 4: unterminated string"));
}

} // namespace
