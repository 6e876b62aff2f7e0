#include "UI/Settings/ModelNumberField.h"
#include "Util/Localization.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>
#include <variant>

namespace {

using Value = std::variant<std::optional<qint64>, std::optional<double>>;

struct EditCase {
    const char* name;
    Value start;
    QString typed;
    Value expected;
    bool invalid;
    QString shown; // the field's text afterwards
};

std::ostream& operator<<(std::ostream& out, const EditCase& edit)
{
    return out << edit.name;
}

const std::optional<qint64> noInteger;
const std::optional<double> noDecimal;

class ModelNumberFieldEdits : public ::testing::TestWithParam<EditCase> {
protected:
    void SetUp() override { Localization::shared().setLanguage(AppLanguage::english); }
};

TEST_P(ModelNumberFieldEdits, StoresTheReadingAndKeepsWhatWasTyped)
{
    const EditCase& edit = GetParam();
    Value value = edit.start;
    QSet<QString> invalid{QStringLiteral("Other")};
    QHash<QString, QString> drafts{{QStringLiteral("Other"), QStringLiteral("x")}};
    const QString title = QStringLiteral("Field");
    std::unique_ptr<ModelNumberField> field = std::visit(
        [&](auto& bound) {
            return std::make_unique<ModelNumberField>(title, &bound, QStringLiteral("Service default"),
                                                      &invalid, &drafts);
        },
        value);
    QSignalSpy edited(field.get(), &ModelNumberField::edited);

    field->setShownText(edit.typed);

    EXPECT_EQ(value, edit.expected);
    EXPECT_EQ(field->isInvalid(), edit.invalid);
    EXPECT_EQ(invalid.contains(title), edit.invalid);
    EXPECT_TRUE(invalid.contains(QStringLiteral("Other"))) << "another field's mark is left alone";
    EXPECT_EQ(drafts.value(title), edit.shown);
    EXPECT_EQ(field->text(), edit.shown);
    EXPECT_EQ(edited.count(), 1);
}

constexpr qint64 int64Min = std::numeric_limits<qint64>::min();

INSTANTIATE_TEST_SUITE_P(
    Table, ModelNumberFieldEdits,
    ::testing::Values(
        EditCase{"decimalComma", noDecimal, "1,5", std::optional(1.5), false, "1,5"},
        EditCase{"decimalPartial", noDecimal, "1.", std::optional(1.0), false, "1."},
        EditCase{"decimalLeadingPoint", noDecimal, ".5", std::optional(0.5), false, ".5"},
        EditCase{"decimalLoneMinus", std::optional(0.3), "-", std::optional(0.3), true, "-"},
        EditCase{"decimalWord", std::optional(0.3), "abc", std::optional(0.3), true, "abc"},
        EditCase{"decimalExponent", noDecimal, "1e3", std::optional(1000.0), false, "1e3"},
        EditCase{"decimalThousandsComma", noDecimal, "1,000", std::optional(1.0), false, "1,000"},
        EditCase{"decimalHex", noDecimal, "0x1p3", std::optional(8.0), false, "0x1p3"},
        EditCase{"decimalInfinity", noDecimal, "inf", noDecimal, true, "inf"},
        EditCase{"decimalNotANumber", noDecimal, "nan", noDecimal, true, "nan"},
        EditCase{"decimalOverflow", noDecimal, "1e999", noDecimal, true, "1e999"},
        EditCase{"decimalTwoSigns", noDecimal, "+-2", noDecimal, true, "+-2"},
        EditCase{"decimalEqualText", noDecimal, "2.50", std::optional(2.5), false, "2.50"},
        EditCase{"decimalPaddedIsRewritten", noDecimal, "\t2.5 ", std::optional(2.5), false, "2.5"},
        EditCase{"integerPoint", std::optional<qint64>(4), "0.7", std::optional<qint64>(4), true, "0.7"},
        EditCase{"integerSpacesOnly", std::optional<qint64>(4), "   ", noInteger, false, "   "},
        EditCase{"integerEmpty", std::optional<qint64>(4), "", noInteger, false, ""},
        EditCase{"integerPaddedNewValue", std::optional<qint64>(5), " 12", std::optional<qint64>(12), false,
                 "12"},
        EditCase{"integerPaddedSameValue", std::optional<qint64>(12), " 12", std::optional<qint64>(12), false,
                 " 12"},
        EditCase{"integerExponent", noInteger, "1e3", noInteger, true, "1e3"},
        EditCase{"integerThousandsComma", noInteger, "1,000", noInteger, true, "1,000"},
        EditCase{"integerPlus", noInteger, "+7", std::optional<qint64>(7), false, "+7"},
        EditCase{"integerTwoSigns", noInteger, "+-7", noInteger, true, "+-7"},
        EditCase{"integerLoneMinus", noInteger, "-", noInteger, true, "-"},
        EditCase{"integerMinimum", noInteger, "-9223372036854775808", std::optional(int64Min), false,
                 "-9223372036854775808"},
        EditCase{"integerTooLarge", noInteger, "9223372036854775808", noInteger, true, "9223372036854775808"},
        EditCase{"integerLineBreakNotTrimmed", noInteger, "1\n", noInteger, true, "1\n"},
        EditCase{"integerNegativeZeroPadded", noInteger, "-007", std::optional<qint64>(-7), false, "-007"}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(ModelNumberFieldTextForm, WritesShortestRoundTripWithPointZero)
{
    const QList<QPair<double, QString>> decimals{{1.0, "1.0"},           {0.7, "0.7"},
                                                 {-2.0, "-2.0"},         {0.0, "0.0"},
                                                 {123456.0, "123456.0"}, {0.0001, "0.0001"},
                                                 {1e20, "1e+20"},        {1e-7, "1e-07"},
                                                 {2.5e-5, "2.5e-05"},    {0.1 + 0.2, "0.30000000000000004"}};
    for (const auto& [value, text] : decimals) {
        EXPECT_EQ(ModelNumberField::textForm(value), text) << value;
        EXPECT_EQ(ModelNumberField::readDecimal(text), value) << text.toStdString();
    }
    EXPECT_EQ(ModelNumberField::textForm(qint64(-5)), "-5");
    EXPECT_EQ(ModelNumberField::textForm(std::numeric_limits<qint64>::max()), "9223372036854775807");
}

class ModelNumberFieldShared : public ::testing::Test {
protected:
    void SetUp() override { Localization::shared().setLanguage(AppLanguage::english); }

    std::optional<double> temperature;
    std::optional<qint64> seed;
    QSet<QString> invalid;
    QHash<QString, QString> drafts;
};

TEST_F(ModelNumberFieldShared, UntouchedFieldShowsValueOrPlaceholder)
{
    temperature = 1.0;
    ModelNumberField shown(QStringLiteral("Temperature"), &temperature, QStringLiteral("Service default"),
                           &invalid, &drafts);
    ModelNumberField empty(QStringLiteral("Seed"), &seed, QStringLiteral("Service default"), &invalid,
                           &drafts);
    EXPECT_EQ(shown.text(), "1.0");
    EXPECT_EQ(empty.text(), "");
    EXPECT_EQ(empty.placeholderText(), "Service default");
    EXPECT_EQ(empty.accessibleName(), "Seed");
    EXPECT_TRUE(drafts.isEmpty()) << "showing a field types nothing";
}

TEST_F(ModelNumberFieldShared, TypingThroughTheKeyboardMarksAndRecoloursAndClears)
{
    seed = 4;
    ModelNumberField field(QStringLiteral("Seed"), &seed, QStringLiteral("Service default"), &invalid,
                           &drafts);
    const QColor normal = field.palette().color(QPalette::Text);
    field.selectAll();
    QTest::keyClicks(&field, QStringLiteral("0.7"));
    EXPECT_EQ(seed, 0) << "the last text that read, \"0\", set the value";
    EXPECT_EQ(invalid, QSet<QString>{"Seed"});
    EXPECT_EQ(field.palette().color(QPalette::Text), QColor(0xFF3B30));
    EXPECT_EQ(field.text(), "0.7");

    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(seed, std::nullopt);
    EXPECT_TRUE(invalid.isEmpty());
    EXPECT_EQ(field.palette().color(QPalette::Text), normal);
}

TEST_F(ModelNumberFieldShared, ValueChangedElsewhereReplacesTextOnlyWhenItReadsDifferently)
{
    ModelNumberField field(QStringLiteral("Temperature"), &temperature, QStringLiteral("Service default"),
                           &invalid, &drafts);
    field.setShownText(QStringLiteral("2,50"));
    temperature = 2.5; // the same number: the typed text stays
    field.reconcile();
    EXPECT_EQ(field.text(), "2,50");

    temperature = 0.7;
    field.reconcile();
    EXPECT_EQ(field.text(), "0.7");
    EXPECT_EQ(drafts.value("Temperature"), "0.7");

    field.setShownText(QStringLiteral("x"));
    temperature = 1.2;
    field.reconcile();
    EXPECT_EQ(field.text(), "1.2");
    EXPECT_FALSE(field.isInvalid()) << "a new value replaces the invalid text and its mark";

    field.setShownText(QStringLiteral("y"));
    temperature.reset(); // cleared elsewhere: nothing is left to correct
    field.reconcile();
    EXPECT_EQ(field.text(), "");
    EXPECT_FALSE(field.isInvalid());
}

TEST_F(ModelNumberFieldShared, TypedTextSurvivesTheFieldBeingRebuiltAndResetClearsIt)
{
    auto field = std::make_unique<ModelNumberField>(QStringLiteral("Seed"), &seed,
                                                    QStringLiteral("Service default"), &invalid, &drafts);
    field->setShownText(QStringLiteral("12x"));
    field = std::make_unique<ModelNumberField>(QStringLiteral("Seed"), &seed,
                                               QStringLiteral("Service default"), &invalid, &drafts);
    EXPECT_EQ(field->text(), "12x");
    EXPECT_TRUE(field->isInvalid());

    seed = 9;
    field->setShownText(QStringLiteral("9"));
    invalid.clear();
    drafts.clear();
    seed.reset();
    field->reconcile();
    EXPECT_EQ(field->text(), "");
    EXPECT_FALSE(field->isInvalid());
}

TEST_F(ModelNumberFieldShared, FieldsKeepTheirOwnMarksInTheSharedSet)
{
    ModelNumberField first(QStringLiteral("Temperature"), &temperature, QStringLiteral("Service default"),
                           &invalid, &drafts);
    ModelNumberField second(QStringLiteral("Seed"), &seed, QStringLiteral("Service default"), &invalid,
                            &drafts);
    first.setShownText(QStringLiteral("a"));
    second.setShownText(QStringLiteral("b"));
    first.setShownText(QStringLiteral("0.5"));
    EXPECT_EQ(invalid, QSet<QString>{"Seed"});
    EXPECT_EQ(drafts, (QHash<QString, QString>{{"Temperature", "0.5"}, {"Seed", "b"}}));
}

} // namespace
