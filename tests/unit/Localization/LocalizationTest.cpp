#include "fakes/FakeBundle.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeSystemLog.h"

#include "Platform/Bundle.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"
#include "Util/StringsTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <gtest/gtest.h>
#include <latch>
#include <limits>
#include <memory>

namespace {

const QString languageKey = QStringLiteral("dorvaneLanguage");

QString raw(AppLanguage language)
{
    return AppLanguages::rawValue(language);
}

// Strings tables in a temporary bundle folder, one Localization over them and an in-memory
// preferences store; the system's languages are English unless a test says otherwise.
class LocalizationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        bundle.root = dir.path();
        Platform::setSystemLogForTesting(&log);
    }

    void TearDown() override { Platform::setSystemLogForTesting(nullptr); }

    QString tablePath(AppLanguage language) const
    {
        return dir.filePath(raw(language) + QStringLiteral(".lproj/Localizable.strings"));
    }

    void writeTable(AppLanguage language, const QByteArray& contents)
    {
        QDir().mkpath(dir.filePath(raw(language) + QStringLiteral(".lproj")));
        QFile file(tablePath(language));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

    Localization& make(AppLanguage choice, const QStringList& system = {QStringLiteral("en-US")})
    {
        if (choice != AppLanguage::system)
            defaults.values.insert(languageKey, raw(choice));
        localization = std::make_unique<Localization>(defaults, bundle);
        localization->setPreferredLanguagesForTesting(system);
        localization->systemLocaleChanged();
        defaults.writes = 0;
        return *localization;
    }

    QTemporaryDir dir;
    FakeBundle bundle;
    FakeDefaults defaults;
    FakeSystemLog log;
    std::unique_ptr<Localization> localization;
};

// ---- the fallback chain and table loading

TEST_F(LocalizationTest, LooksUpTheLanguageThenEnglishThenTheKey)
{
    writeTable(AppLanguage::english, "\"Hello\" = \"Hello\";\n\"Only English\" = \"Only English (en)\";\n"
                                     "\"Blank\" = \"Blank (en)\";");
    writeTable(AppLanguage::japanese, "\"Hello\" = \"こんにちは\";\n\"Blank\" = \"\";");
    Localization& l = make(AppLanguage::japanese);

    EXPECT_EQ(l.lookup(QStringLiteral("Hello")), QStringLiteral("こんにちは"));
    EXPECT_EQ(l.lookup(QStringLiteral("Only English")), QStringLiteral("Only English (en)"));
    EXPECT_EQ(l.lookup(QStringLiteral("Blank")), QStringLiteral("Blank (en)"))
        << "an empty translation blanks nothing";
    EXPECT_EQ(l.lookup(QStringLiteral("Nowhere")), QStringLiteral("Nowhere"));
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join(u'\n').toStdString();
}

TEST_F(LocalizationTest, EachLanguageHasItsOwnTable)
{
    writeTable(AppLanguage::english, "\"Quit\" = \"Quit\";");
    writeTable(AppLanguage::chinese, "\"Quit\" = \"退出\";");
    writeTable(AppLanguage::traditionalChinese, "\"Quit\" = \"結束\";");
    writeTable(AppLanguage::japanese, "\"Quit\" = \"終了\";");
    Localization& l = make(AppLanguage::system);

    const QList<std::pair<AppLanguage, QString>> expected{
        {AppLanguage::english, QStringLiteral("Quit")},
        {AppLanguage::chinese, QStringLiteral("退出")},
        {AppLanguage::traditionalChinese, QStringLiteral("結束")},
        {AppLanguage::japanese, QStringLiteral("終了")}};
    for (const auto& [language, text] : expected) {
        l.setLanguage(language);
        EXPECT_EQ(l.lookup(QStringLiteral("Quit")), text) << raw(language).toStdString();
    }
}

TEST_F(LocalizationTest, LoadsATableOnceOnFirstUse)
{
    writeTable(AppLanguage::english, "\"Quit\" = \"Quit\";");
    writeTable(AppLanguage::japanese, "\"Quit\" = \"終了\";");
    writeTable(AppLanguage::traditionalChinese, "not a table");
    Localization& l = make(AppLanguage::japanese);

    EXPECT_EQ(l.lookup(QStringLiteral("Quit")), QStringLiteral("終了"));
    writeTable(AppLanguage::japanese, "\"Quit\" = \"changed\";");
    EXPECT_EQ(l.lookup(QStringLiteral("Quit")), QStringLiteral("終了"));
    EXPECT_TRUE(log.lines.isEmpty()) << "the broken table of a language not in use is never read";
}

TEST_F(LocalizationTest, ABrokenTableIsDroppedWholeAndLoggedOnce)
{
    writeTable(AppLanguage::english, "\"Quit\" = \"Quit\";\n\"Open\" = \"Open\";");
    writeTable(AppLanguage::traditionalChinese, "\"Quit\" = \"結束\";\n\n\"Open\" = \"打開\"\n");
    Localization& l = make(AppLanguage::traditionalChinese);

    EXPECT_EQ(l.lookup(QStringLiteral("Quit")), QStringLiteral("Quit"))
        << "no entry of a broken table is used";
    EXPECT_EQ(l.lookup(QStringLiteral("Open")), QStringLiteral("Open"));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains(tablePath(AppLanguage::traditionalChinese)))
        << log.lines[0].toStdString();
    EXPECT_TRUE(log.lines[0].contains(QStringLiteral("line 3: missing ';'"))) << log.lines[0].toStdString();
}

TEST_F(LocalizationTest, AMissingTableFallsBackAndIsLoggedOnce)
{
    writeTable(AppLanguage::english, "\"Quit\" = \"Quit (en)\";");
    Localization& l = make(AppLanguage::japanese);

    EXPECT_EQ(l.lookup(QStringLiteral("Quit")), QStringLiteral("Quit (en)"));
    EXPECT_EQ(l.lookup(QStringLiteral("Quit")), QStringLiteral("Quit (en)"));
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains(QStringLiteral("ja.lproj/Localizable.strings")))
        << log.lines[0].toStdString();
}

TEST_F(LocalizationTest, ThreadsLookingUpAtOnceAllGetTheTranslation)
{
    constexpr int rounds = 20;
    constexpr int threads = 8;
    writeTable(AppLanguage::english, "\"Quit\" = \"Quit\";\n\"Open\" = \"Open\";");
    writeTable(AppLanguage::chinese, "\"Quit\" = \"退出\";");
    QThreadPool pool; // its own threads, so that all of them can wait at the latch together
    pool.setMaxThreadCount(threads);
    for (int round = 0; round < rounds; ++round) {
        Localization& l = make(AppLanguage::chinese); // a fresh object: no table loaded yet
        std::latch start(threads);
        QList<QFuture<QStringList>> results;
        for (int t = 0; t < threads; ++t) {
            results.append(QtConcurrent::run(&pool, [&l, &start] {
                start.arrive_and_wait();
                return QStringList{l.lookup(QStringLiteral("Quit")), l.lookup(QStringLiteral("Open"))};
            }));
        }
        for (QFuture<QStringList>& result : results)
            ASSERT_EQ(result.result(), QStringList({QStringLiteral("退出"), QStringLiteral("Open")}))
                << round;
    }
}

TEST_F(LocalizationTest, WithoutAnyTableTheKeyIsTheText)
{
    Localization& l = make(AppLanguage::chinese);
    EXPECT_EQ(l.lookup(QStringLiteral("Quit Vellora")), QStringLiteral("Quit Vellora"));
    EXPECT_EQ(l.fill(QStringLiteral("%d clips"), {3}), QStringLiteral("3 clips"));
}

// ---- the stored choice

struct StoredCase {
    const char* name;
    QJsonValue stored;
    AppLanguage expected;
};

class LocalizationStoredChoice : public LocalizationTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(LocalizationStoredChoice, ReadsTheRawValueOrFallsBackToSystem)
{
    if (!GetParam().stored.isUndefined())
        defaults.values.insert(languageKey, GetParam().stored);
    Localization l(defaults, bundle);
    EXPECT_EQ(l.language(), GetParam().expected);
    EXPECT_NE(l.resolvedLanguage(), AppLanguage::system);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LocalizationStoredChoice,
    ::testing::Values(StoredCase{"missing", QJsonValue::Undefined, AppLanguage::system},
                      StoredCase{"system", QStringLiteral("system"), AppLanguage::system},
                      StoredCase{"english", QStringLiteral("en"), AppLanguage::english},
                      StoredCase{"simplified", QStringLiteral("zh-Hans"), AppLanguage::chinese},
                      StoredCase{"traditional", QStringLiteral("zh-Hant"), AppLanguage::traditionalChinese},
                      StoredCase{"japanese", QStringLiteral("ja"), AppLanguage::japanese},
                      StoredCase{"unknown", QStringLiteral("fr"), AppLanguage::system},
                      StoredCase{"wrongCase", QStringLiteral("JA"), AppLanguage::system},
                      StoredCase{"number", 3, AppLanguage::system},
                      StoredCase{"bool", true, AppLanguage::system}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppLanguage, RawValuesInOrder)
{
    const QList<AppLanguage> expected{AppLanguage::system, AppLanguage::chinese, AppLanguage::english,
                                      AppLanguage::traditionalChinese, AppLanguage::japanese};
    EXPECT_EQ(AppLanguages::allCases(), expected);
    QStringList raws;
    for (AppLanguage language : AppLanguages::allCases()) {
        raws.append(raw(language));
        EXPECT_EQ(AppLanguages::fromRawValue(raw(language)), language);
    }
    EXPECT_EQ(raws, QStringList({"system", "zh-Hans", "en", "zh-Hant", "ja"}));
    EXPECT_EQ(AppLanguages::fromRawValue(QStringLiteral("zh-hans")), std::nullopt);
    EXPECT_EQ(AppLanguages::fromRawValue(QString()), std::nullopt);
}

// ---- signals, the notification and the stored key

// Counts the posts of "VelloraLanguageDidChange" and remembers their senders.
class LanguageNotifications {
public:
    LanguageNotifications()
    {
        NotificationCenter::shared().observe(Notifications::languageDidChange, &context_,
                                             [this](QObject* sender) { senders.append(sender); });
    }
    QList<QObject*> senders;

private:
    QObject context_;
};

TEST_F(LocalizationTest, SettingADifferentLanguageStoresSignalsAndPostsOnce)
{
    Localization& l = make(AppLanguage::english);
    QSignalSpy languageSpy(&l, &Localization::languageChanged);
    QSignalSpy resolvedSpy(&l, &Localization::resolvedLanguageChanged);
    LanguageNotifications posts;

    l.setLanguage(AppLanguage::japanese);
    EXPECT_EQ(l.language(), AppLanguage::japanese);
    EXPECT_EQ(l.resolvedLanguage(), AppLanguage::japanese);
    EXPECT_EQ(defaults.values.value(languageKey), QJsonValue(QStringLiteral("ja")));
    EXPECT_EQ(defaults.writes, 1);
    EXPECT_EQ(languageSpy.count(), 1);
    EXPECT_EQ(resolvedSpy.count(), 1);
    EXPECT_EQ(posts.senders, QList<QObject*>{&l});

    l.setLanguage(AppLanguage::japanese);
    EXPECT_EQ(defaults.writes, 1) << "the same value is not stored again";
    EXPECT_EQ(languageSpy.count(), 1);
    EXPECT_EQ(resolvedSpy.count(), 1);
    EXPECT_EQ(posts.senders.size(), 1);
}

TEST_F(LocalizationTest, ChoosingTheLanguageTheSystemAlreadyGivesKeepsTheResolvedOne)
{
    Localization& l = make(AppLanguage::system, {QStringLiteral("zh-TW")});
    ASSERT_EQ(l.resolvedLanguage(), AppLanguage::traditionalChinese);
    QSignalSpy languageSpy(&l, &Localization::languageChanged);
    QSignalSpy resolvedSpy(&l, &Localization::resolvedLanguageChanged);
    LanguageNotifications posts;

    l.setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(defaults.values.value(languageKey), QJsonValue(QStringLiteral("zh-Hant")));
    EXPECT_EQ(languageSpy.count(), 1);
    EXPECT_EQ(resolvedSpy.count(), 0);
    EXPECT_EQ(posts.senders, QList<QObject*>{&l}) << "the choice changed, so the change is posted";

    l.setLanguage(AppLanguage::system);
    EXPECT_EQ(defaults.values.value(languageKey), QJsonValue(QStringLiteral("system")));
    EXPECT_EQ(l.resolvedLanguage(), AppLanguage::traditionalChinese);
    EXPECT_EQ(languageSpy.count(), 2);
    EXPECT_EQ(posts.senders.size(), 2);
}

TEST_F(LocalizationTest, ASystemLanguageChangeUnderSystemPostsOncePerRealChange)
{
    Localization& l = make(AppLanguage::system, {QStringLiteral("en-US")});
    QSignalSpy languageSpy(&l, &Localization::languageChanged);
    QSignalSpy resolvedSpy(&l, &Localization::resolvedLanguageChanged);
    LanguageNotifications posts;

    l.setPreferredLanguagesForTesting(QStringList{QStringLiteral("en-GB")});
    l.systemLocaleChanged();
    EXPECT_EQ(posts.senders.size(), 0) << "still English";

    l.setPreferredLanguagesForTesting(QStringList{QStringLiteral("zh-CN"), QStringLiteral("en-US")});
    l.systemLocaleChanged();
    l.systemLocaleChanged();
    EXPECT_EQ(l.resolvedLanguage(), AppLanguage::chinese);
    EXPECT_EQ(resolvedSpy.count(), 1);
    EXPECT_EQ(posts.senders, QList<QObject*>{&l});
    EXPECT_EQ(languageSpy.count(), 0) << "the choice is still system";
    EXPECT_EQ(defaults.writes, 0);
}

TEST_F(LocalizationTest, ASystemLanguageChangeUnderAChosenLanguageDoesNothing)
{
    Localization& l = make(AppLanguage::japanese, {QStringLiteral("en-US")});
    QSignalSpy resolvedSpy(&l, &Localization::resolvedLanguageChanged);
    LanguageNotifications posts;

    l.setPreferredLanguagesForTesting(QStringList{QStringLiteral("zh-TW")});
    l.systemLocaleChanged();
    EXPECT_EQ(l.resolvedLanguage(), AppLanguage::japanese);
    EXPECT_EQ(resolvedSpy.count(), 0);
    EXPECT_TRUE(posts.senders.isEmpty());

    l.setLanguage(AppLanguage::system);
    EXPECT_EQ(l.resolvedLanguage(), AppLanguage::traditionalChinese) << "the system's language, read anew";
}

TEST_F(LocalizationTest, TheApplicationsLocaleChangeEventIsHeard)
{
    Localization& l = make(AppLanguage::system, {QStringLiteral("en-US")});
    QSignalSpy resolvedSpy(&l, &Localization::resolvedLanguageChanged);
    LanguageNotifications posts;
    l.setPreferredLanguagesForTesting(QStringList{QStringLiteral("ja-JP")});

    QEvent localeChange(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &localeChange);

    EXPECT_EQ(l.resolvedLanguage(), AppLanguage::japanese);
    EXPECT_EQ(resolvedSpy.count(), 1);
    EXPECT_EQ(posts.senders, QList<QObject*>{&l});
}

// ---- resolution of the system's languages

struct ResolveCase {
    const char* name;
    QStringList tags;
    AppLanguage expected;
};

class LocalizationResolve : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(LocalizationResolve, GivesTheFirstSupportedLanguage)
{
    EXPECT_EQ(raw(Localization::resolve(GetParam().tags)), raw(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Tags, LocalizationResolve,
    ::testing::Values(
        ResolveCase{"empty", {}, AppLanguage::english},
        ResolveCase{"english", {"en-US"}, AppLanguage::english},
        ResolveCase{"unsupportedOnly", {"de-DE", "fr"}, AppLanguage::english},
        ResolveCase{"posixC", {"C", "POSIX"}, AppLanguage::english},
        ResolveCase{"blankTags", {"", " ", "-"}, AppLanguage::english},
        ResolveCase{"firstSupportedWins", {"fr-FR", "ja-JP", "en-US"}, AppLanguage::japanese},
        ResolveCase{"englishBeforeChinese", {"en-GB", "zh-CN"}, AppLanguage::english},
        ResolveCase{"japanese", {"ja"}, AppLanguage::japanese},
        ResolveCase{"japanesePosix", {"ja_JP.eucJP"}, AppLanguage::japanese},
        ResolveCase{"javaneseIsNotJapanese", {"jv", "zh-TW"}, AppLanguage::traditionalChinese},
        ResolveCase{"jamaicanIsNotJapanese", {"jam", "zh-CN"}, AppLanguage::chinese},
        ResolveCase{"zhuangIsNotChinese", {"za", "zha", "ja"}, AppLanguage::japanese},
        ResolveCase{"plainChinese", {"zh"}, AppLanguage::chinese},
        ResolveCase{"hans", {"zh-Hans"}, AppLanguage::chinese},
        ResolveCase{"hansCN", {"zh-Hans-CN"}, AppLanguage::chinese},
        ResolveCase{"hant", {"zh-Hant"}, AppLanguage::traditionalChinese},
        ResolveCase{"hantTW", {"zh-Hant-TW"}, AppLanguage::traditionalChinese},
        ResolveCase{"china", {"zh-CN"}, AppLanguage::chinese},
        ResolveCase{"singapore", {"zh-SG"}, AppLanguage::chinese},
        ResolveCase{"malaysia", {"zh-MY"}, AppLanguage::chinese},
        ResolveCase{"taiwan", {"zh-TW"}, AppLanguage::traditionalChinese},
        ResolveCase{"hongKong", {"zh-HK"}, AppLanguage::traditionalChinese},
        ResolveCase{"macao", {"zh-MO"}, AppLanguage::traditionalChinese},
        ResolveCase{"otherRegion", {"zh-US"}, AppLanguage::chinese},
        ResolveCase{"scriptBeatsRegionHans", {"zh-Hans-HK"}, AppLanguage::chinese},
        ResolveCase{"scriptBeatsRegionHant", {"zh-Hant-CN"}, AppLanguage::traditionalChinese},
        ResolveCase{"underscoreTaiwan", {"zh_TW"}, AppLanguage::traditionalChinese},
        ResolveCase{"posixTaiwan", {"zh_TW.UTF-8"}, AppLanguage::traditionalChinese},
        ResolveCase{"posixHongKongModifier", {"zh_HK.UTF-8@stroke"}, AppLanguage::traditionalChinese},
        ResolveCase{"posixChina", {"zh_CN.GB2312"}, AppLanguage::chinese},
        ResolveCase{"mixedCase", {"ZH-tw"}, AppLanguage::traditionalChinese},
        ResolveCase{"mandarin", {"cmn-Hant-TW"}, AppLanguage::traditionalChinese},
        ResolveCase{"cantonese", {"yue"}, AppLanguage::traditionalChinese},
        ResolveCase{"cantoneseSimplified", {"yue-Hans-CN"}, AppLanguage::chinese},
        ResolveCase{
            "unsupportedThenChinese", {"ko-KR", "zh-Hant-HK", "ja"}, AppLanguage::traditionalChinese}),
    [](const auto& info) { return std::string(info.param.name); });

// The forms Qt gives for a locale, as QLocale::system() gives them for LANG or LANGUAGE.
TEST(LocalizationResolveQt, TheUiLanguagesOfQtLocales)
{
    const QList<std::pair<const char*, AppLanguage>> cases{{"zh_TW", AppLanguage::traditionalChinese},
                                                           {"zh_HK", AppLanguage::traditionalChinese},
                                                           {"zh_MO", AppLanguage::traditionalChinese},
                                                           {"zh_CN", AppLanguage::chinese},
                                                           {"zh_SG", AppLanguage::chinese},
                                                           {"zh", AppLanguage::chinese},
                                                           {"ja_JP", AppLanguage::japanese},
                                                           {"en_GB", AppLanguage::english},
                                                           {"fr_FR", AppLanguage::english},
                                                           {"C", AppLanguage::english}};
    for (const auto& [name, expected] : cases) {
        const QStringList tags = QLocale(QString::fromLatin1(name)).uiLanguages();
        EXPECT_EQ(raw(Localization::resolve(tags)), raw(expected))
            << name << ": " << tags.join(u',').toStdString();
    }
}

// ---- formats

struct FormatCase {
    const char* name;
    AppLanguage language;
    QString format;
    QVariantList arguments;
    QString expected;
};

class LocalizationFormat : public LocalizationTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    void SetUp() override
    {
        LocalizationTest::SetUp();
        writeTable(AppLanguage::english, "\"%@ of %@\" = \"%@ of %@\";\n\"%d clips\" = \"%d clips\";\n"
                                         "\"English only %@\" = \"English only %@\";");
        writeTable(AppLanguage::japanese,
                   "\"%@ of %@\" = \"%2$@の%1$@\";\n\"%d clips\" = \"%d 件のクリップ\";");
        writeTable(AppLanguage::chinese, "\"%@ of %@\" = \"%2$@ 的 %1$@\";\n\"%d clips\" = \"%d 个剪贴\";");
        writeTable(AppLanguage::traditionalChinese,
                   "\"%@ of %@\" = \"%2$@的%1$@\";\n\"%d clips\" = \"%d 個剪貼\";");
    }
};

TEST_P(LocalizationFormat, FillsTheTranslatedFormat)
{
    Localization& l = make(GetParam().language);
    EXPECT_EQ(l.fill(GetParam().format, GetParam().arguments), GetParam().expected);
}

constexpr qint64 beyondDoublePrecision = 9007199254740993; // 2^53 + 1

INSTANTIATE_TEST_SUITE_P(
    Cases, LocalizationFormat,
    ::testing::Values(
        FormatCase{"inOrderEnglish", AppLanguage::english, "%@ of %@", {"A", "B"}, "A of B"},
        FormatCase{"reorderedJapanese", AppLanguage::japanese, "%@ of %@", {"A", "B"}, "BのA"},
        FormatCase{"reorderedSimplified", AppLanguage::chinese, "%@ of %@", {"A", "B"}, "B 的 A"},
        FormatCase{"reorderedTraditional", AppLanguage::traditionalChinese, "%@ of %@", {"A", "B"}, "B的A"},
        FormatCase{"integerEnglish", AppLanguage::english, "%d clips", {3}, "3 clips"},
        FormatCase{"integerJapanese", AppLanguage::japanese, "%d clips", {3}, "3 件のクリップ"},
        FormatCase{"integerSimplified", AppLanguage::chinese, "%d clips", {1234567}, "1234567 个剪贴"},
        FormatCase{
            "integerTraditional", AppLanguage::traditionalChinese, "%d clips", {-12345}, "-12345 個剪貼"},
        FormatCase{
            "englishFallbackFormat", AppLanguage::japanese, "English only %@", {"x"}, "English only x"},
        FormatCase{"keyAsFormat",
                   AppLanguage::japanese,
                   "Saved %lld of %ld",
                   {qint64(5), qint64(9)},
                   "Saved 5 of 9"},
        FormatCase{"noGrouping", AppLanguage::english, "%d", {12345678}, "12345678"},
        FormatCase{"longLong", AppLanguage::english, "%lld", {beyondDoublePrecision}, "9007199254740993"},
        FormatCase{"longLongMin",
                   AppLanguage::english,
                   "%lld",
                   {std::numeric_limits<qint64>::min()},
                   "-9223372036854775808"},
        FormatCase{"unsignedMax",
                   AppLanguage::english,
                   "%llu",
                   {std::numeric_limits<quint64>::max()},
                   "18446744073709551615"},
        FormatCase{"positionalIntegers", AppLanguage::english, "%2$lld/%1$d", {1, qint64(2)}, "2/1"},
        FormatCase{"samePositionTwice", AppLanguage::english, "%1$@-%1$@", {"a"}, "a-a"},
        FormatCase{"percent", AppLanguage::english, "100%%", {}, "100%"},
        FormatCase{"percentAfterNumber", AppLanguage::english, "%d%%", {50}, "50%"},
        FormatCase{"percentBeforePlaceholder", AppLanguage::english, "%%%@", {"x"}, "%x"},
        FormatCase{"missingArgument", AppLanguage::english, "%@ and %@", {"A"}, "A and %@"},
        FormatCase{"missingPositional", AppLanguage::english, "%2$@ %1$@", {"A"}, "%2$@ A"},
        FormatCase{"missingInteger", AppLanguage::english, "%lld items", {}, "%lld items"},
        FormatCase{"extraArguments", AppLanguage::english, "%@", {"A", "B", 3}, "A"},
        FormatCase{"textForInteger", AppLanguage::english, "%d", {"abc"}, "abc"},
        FormatCase{"integerForText", AppLanguage::english, "%@", {42}, "42"},
        FormatCase{"wholePartOfDouble", AppLanguage::english, "%d", {2.9}, "2"},
        FormatCase{"negativeDouble", AppLanguage::english, "%d", {-2.9}, "-2"},
        FormatCase{"doubleAsText", AppLanguage::english, "%@", {1.5}, "1.5"},
        FormatCase{"infinity", AppLanguage::english, "%d", {std::numeric_limits<double>::infinity()}, "inf"},
        FormatCase{"invalidVariant", AppLanguage::english, "[%@][%d]", {QVariant(), QVariant()}, "[][]"},
        FormatCase{"positionZeroIsNotAPlaceholder", AppLanguage::english, "%0$@ %@", {"A"}, "%0$@ A"},
        FormatCase{"unknownConversionStays", AppLanguage::english, "%x %s %@", {"A"}, "%x %s A"},
        FormatCase{"trailingPercent", AppLanguage::english, "50%", {}, "50%"},
        FormatCase{"lengthOnObjectIsNotAPlaceholder", AppLanguage::english, "%l@ %@", {"A"}, "%l@ A"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the process-wide object

TEST(LocalizationShared, StaticFormsUseTheSharedObjectAndTheProcessPreferences)
{
    Localization& shared = Localization::shared();
    EXPECT_EQ(&shared, &Localization::shared());
    const AppLanguage before = shared.language();

    shared.setLanguage(AppLanguage::japanese);
    EXPECT_EQ(Platform::defaults().stringValue(languageKey), std::optional<QString>(QStringLiteral("ja")));
    EXPECT_EQ(Localization::string(QStringLiteral("A text no table has")),
              QStringLiteral("A text no table has"));
    EXPECT_EQ(Localization::format(QStringLiteral("Zz %@ %d %lld %@ %u"), "bytes", 5, qint64(1) << 40,
                                   QStringLiteral("qt"), size_t(7)),
              QStringLiteral("Zz bytes 5 1099511627776 qt 7"));

    QVariantList listArguments{QStringLiteral("a"), 2};
    EXPECT_EQ(Localization::format(QStringLiteral("Zz %@%d"), listArguments), QStringLiteral("Zz a2"));
    EXPECT_EQ(Localization::format(QStringLiteral("Zz %@%d"), QVariantList{QStringLiteral("b"), 3}),
              QStringLiteral("Zz b3"));
    EXPECT_EQ(Localization::format(QStringLiteral("Zz %@")), QStringLiteral("Zz %@"));

    const QString japanesePath = Platform::mainBundle().resourcePath(
        QStringLiteral("Localizable"), QStringLiteral("strings"), QStringLiteral("ja.lproj"));
    for (const StringsTable::Entry& entry : StringsTable::read(japanesePath).entries())
        EXPECT_EQ(Localization::string(entry.key), entry.value);

    shared.setLanguage(before);
    Platform::defaults().remove(languageKey);
}

} // namespace
