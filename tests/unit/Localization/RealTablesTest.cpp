#include "Platform/Bundle.h"
#include "Util/AppLanguage.h"
#include "Util/StringsTable.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

// The strings tables that ship in the resource bundle: every text that any table has must be
// in all four, translated, with the placeholders of its English text.
namespace {

const QList<AppLanguage> shippedLanguages{AppLanguage::english, AppLanguage::chinese,
                                          AppLanguage::traditionalChinese, AppLanguage::japanese};

struct LoadedTable {
    QString language;
    QHash<QString, QString> values;
};

// Argument index to kind ('@' text, 'i' integer); unnumbered placeholders count in order.
QMap<int, QChar> placeholderSignature(const QString& format)
{
    static const QRegularExpression placeholder(
        QStringLiteral("%%|%(?:([0-9]+)\\$)?(?:ll|hh|l|h|q|z|t|j)?([@diu])"));
    QMap<int, QChar> signature;
    int next = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(format)) {
        if (match.captured(2).isEmpty())
            continue;
        const int index = match.captured(1).isEmpty() ? next++ : match.captured(1).toInt() - 1;
        signature.insert(index,
                         match.captured(2) == QLatin1String("@") ? QLatin1Char('@') : QLatin1Char('i'));
    }
    return signature;
}

QString describe(const QMap<int, QChar>& signature)
{
    QStringList parts;
    for (auto it = signature.begin(); it != signature.end(); ++it)
        parts.append(QStringLiteral("%1:%2").arg(it.key() + 1).arg(*it));
    return QLatin1Char('{') + parts.join(u',') + QLatin1Char('}');
}

class RealTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (AppLanguage language : shippedLanguages) {
            const QString raw = AppLanguages::rawValue(language);
            const QString path = Platform::mainBundle().resourcePath(
                QStringLiteral("Localizable"), QStringLiteral("strings"), raw + QStringLiteral(".lproj"));
            ASSERT_FALSE(path.isEmpty()) << "no table for " << raw.toStdString();
            try {
                const StringsTable table = StringsTable::read(path);
                for (const StringsTable::Entry& duplicate : table.duplicates())
                    ADD_FAILURE() << raw.toStdString() << " line " << duplicate.line << ": duplicate key \""
                                  << duplicate.key.toStdString() << "\"";
                tables.append({raw, table.values()});
            } catch (const StringsTable::Error& error) {
                FAIL() << path.toStdString() << ": " << error.description().toStdString();
            }
        }
    }

    QSet<QString> allKeys() const
    {
        QSet<QString> keys;
        for (const LoadedTable& table : tables)
            keys.unite(QSet<QString>(table.values.keyBegin(), table.values.keyEnd()));
        return keys;
    }

    QList<LoadedTable> tables;
};

TEST_F(RealTables, EveryKeyIsTranslatedInEveryTable)
{
    ASSERT_EQ(tables.size(), shippedLanguages.size());
    for (const QString& key : allKeys()) {
        for (const LoadedTable& table : tables) {
            const auto value = table.values.constFind(key);
            if (value == table.values.cend())
                ADD_FAILURE() << table.language.toStdString() << " lacks \"" << key.toStdString() << "\"";
            else if (value->isEmpty())
                ADD_FAILURE() << table.language.toStdString() << " has an empty value for \""
                              << key.toStdString() << "\"";
        }
    }
}

// Names of the other platform's places, products, keys and ideas, and of places this copy
// does not have, as each table would write them.
const QRegularExpression& otherPlatformWords(const QString& language)
{
    static const QString common =
        QStringLiteral("\\bMacs?\\b|macOS|iCloud|Keychain|System Settings|Finder|App Store|[⌘⌥⌃]");
    static const QHash<QString, QRegularExpression> words{
        {QStringLiteral("en"),
         QRegularExpression(common + QStringLiteral("|menu bar|\\b(?:Command|Option|Control)\\b|application "
                                                    "bundle|frontmost|Settings → Models"))},
        {QStringLiteral("ja"),
         QRegularExpression(common + QStringLiteral("|キーチェーン|システム設定|メニューバー|"
                                                    "コマンド|アプリケーションバンドル|最前面"))},
        {QStringLiteral("zh-Hans"),
         QRegularExpression(common + QStringLiteral("|钥匙串|系统设置|菜单栏|访达|命令|应用包|最前面"))},
        {QStringLiteral("zh-Hant"),
         QRegularExpression(common + QStringLiteral("|系統設定|選單列|指令|應用程式套件|最前方"))},
    };
    return *words.find(language);
}

TEST_F(RealTables, NoValueNamesTheOtherPlatform)
{
    for (const LoadedTable& table : tables) {
        for (auto it = table.values.cbegin(); it != table.values.cend(); ++it) {
            const QRegularExpressionMatch match = otherPlatformWords(table.language).match(it.value());
            EXPECT_FALSE(match.hasMatch()) << table.language.toStdString() << " \"" << it.key().toStdString()
                                           << "\" says \"" << match.captured().toStdString() << "\"";
        }
    }
}

// The English keys are the system's own texts; English readers see them unchanged unless they
// name the other platform or say what this copy does not do.
TEST_F(RealTables, EnglishRewordsExactlyTheKeysThatNameTheOtherPlatform)
{
    // A copy without an updater is not waiting for one; an X session has no list of apps allowed
    // to send keys, and this copy no command to select a file again.
    const QStringList untrueHere{
        QStringLiteral("Automatic updates are not available in this build yet."),
        QStringLiteral("Find Vellora and turn on its switch."),
        QStringLiteral("Click + to add this copy of Vellora, then turn on its switch."),
        QStringLiteral(
            "For a file that needs permission, choose Select File Again in its preview or context menu "
            "and select the original file or folder. If it moved or was deleted, copy its new location "
            "into history. This does not restore a deleted original.")};
    ASSERT_EQ(tables.first().language, QStringLiteral("en"));
    const QHash<QString, QString>& english = tables.first().values;
    for (auto it = english.cbegin(); it != english.cend(); ++it) {
        const bool namesPlatform = otherPlatformWords(QStringLiteral("en")).match(it.key()).hasMatch();
        EXPECT_EQ(it.value() != it.key(), namesPlatform || untrueHere.contains(it.key()))
            << it.key().toStdString();
    }
}

TEST_F(RealTables, TranslationsKeepThePlaceholdersOfTheirKey)
{
    for (const LoadedTable& table : tables) {
        for (auto it = table.values.cbegin(); it != table.values.cend(); ++it) {
            const QMap<int, QChar> expected = placeholderSignature(it.key());
            const QMap<int, QChar> actual = placeholderSignature(it.value());
            EXPECT_EQ(actual, expected)
                << table.language.toStdString() << " \"" << it.key().toStdString() << "\" = \""
                << it.value().toStdString() << "\": " << describe(actual).toStdString() << " instead of "
                << describe(expected).toStdString();
        }
    }
}

// A clip has one name in each language, so one page never calls it two things.
TEST_F(RealTables, EveryTextAboutClipsUsesTheLanguagesOneWordForAClip)
{
    const QHash<QString, QString> wordForClip{{QStringLiteral("en"), QStringLiteral("clip")},
                                              {QStringLiteral("zh-Hans"), QStringLiteral("剪贴项")},
                                              {QStringLiteral("zh-Hant"), QStringLiteral("剪貼項")},
                                              {QStringLiteral("ja"), QStringLiteral("クリップ")}};
    static const QRegularExpression namesAClip(QStringLiteral("\\bclips?\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (const LoadedTable& table : tables) {
        const QString word = wordForClip.value(table.language);
        ASSERT_FALSE(word.isEmpty()) << table.language.toStdString();
        for (auto it = table.values.cbegin(); it != table.values.cend(); ++it) {
            if (namesAClip.match(it.key()).hasMatch()) {
                EXPECT_TRUE(it.value().contains(word, Qt::CaseInsensitive))
                    << table.language.toStdString() << " \"" << it.key().toStdString() << "\" = \""
                    << it.value().toStdString() << "\"";
            }
        }
    }
}

TEST(RealTablesSignature, CountsKindsByArgument)
{
    EXPECT_EQ(placeholderSignature(QStringLiteral("%@ of %lld%%")), (QMap<int, QChar>{{0, '@'}, {1, 'i'}}));
    EXPECT_EQ(placeholderSignature(QStringLiteral("%2$dの%1$@")), (QMap<int, QChar>{{0, '@'}, {1, 'i'}}));
    EXPECT_NE(placeholderSignature(QStringLiteral("%d of %@")),
              placeholderSignature(QStringLiteral("%@ of %d")));
    EXPECT_NE(placeholderSignature(QStringLiteral("%@ %@")), placeholderSignature(QStringLiteral("%@")));
    EXPECT_NE(placeholderSignature(QStringLiteral("%@")), placeholderSignature(QStringLiteral("%s")));
}

} // namespace
