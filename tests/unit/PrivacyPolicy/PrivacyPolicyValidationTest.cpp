#include "PolicyJson.h"

#include "Settings/PrivacyPolicyCatalog.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace PolicyJson;
using Edit = std::function<void(QJsonObject&)>;

enum class Outcome { valid, undecodable, invalid };

struct Row {
    std::string name;
    Edit edit;
    Outcome outcome;
};

std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << row.name;
}

Edit setting(const QString& path, const QJsonValue& value)
{
    return [=](QJsonObject& root) { set(root, path, value); };
}

Edit removing(const QString& path)
{
    return [=](QJsonObject& root) { remove(root, path); };
}

// The policy date everywhere it must agree, so that only the date form decides.
Edit policyDateEverywhere(const QString& date)
{
    return [=](QJsonObject& root) {
        set(root, QStringLiteral("policyVersion"), date);
        setInEveryDocument(root, QStringLiteral("sourceVersion"), date);
    };
}

// A text of the Traditional Chinese document (not the source document).
Edit paragraphText(const QString& text)
{
    return setting(QStringLiteral("locales/zh-Hant/sections/4/paragraphs/0"), text);
}

// A test name for a text: ASCII letters and digits as they are, anything else as _<hex>.
std::string id(const QString& text)
{
    std::string result;
    for (const QChar c : text) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            result += char(c.unicode());
        else
            result += '_' + QString::number(c.unicode(), 16).toStdString();
    }
    return result;
}

std::vector<Row> missingKeyRows()
{
    std::vector<Row> rows;
    for (const char* key : {"schemaVersion", "policyVersion", "sourceLocale", "supportEmail", "locales"})
        rows.push_back(
            {std::string("missing_") + key, removing(QString::fromLatin1(key)), Outcome::undecodable});
    for (const char* key : {"languageName", "title", "description", "lead", "updatedLabel", "sourceVersion",
                            "navigation", "sections"})
        rows.push_back({std::string("missing_document_") + key,
                        removing(QStringLiteral("locales/ja/") + QString::fromLatin1(key)),
                        Outcome::undecodable});
    for (const char* key : {"id", "title", "paragraphs"})
        rows.push_back({std::string("missing_section_") + key,
                        removing(QStringLiteral("locales/zh-Hant/sections/3/") + QString::fromLatin1(key)),
                        Outcome::undecodable});
    return rows;
}

std::vector<Row> wrongTypeRows()
{
    return {
        {"schemaVersion_string", setting(QStringLiteral("schemaVersion"), QStringLiteral("1")),
         Outcome::undecodable},
        {"schemaVersion_fraction", setting(QStringLiteral("schemaVersion"), 1.5), Outcome::undecodable},
        {"schemaVersion_bool", setting(QStringLiteral("schemaVersion"), true), Outcome::undecodable},
        {"schemaVersion_null", setting(QStringLiteral("schemaVersion"), QJsonValue::Null),
         Outcome::undecodable},
        {"schemaVersion_huge", setting(QStringLiteral("schemaVersion"), 1e300), Outcome::undecodable},
        {"schemaVersion_written_as_1_0", setting(QStringLiteral("schemaVersion"), 1.0), Outcome::valid},
        {"policyVersion_number", setting(QStringLiteral("policyVersion"), 20261207), Outcome::undecodable},
        {"supportEmail_array", setting(QStringLiteral("supportEmail"), QJsonArray{}), Outcome::undecodable},
        {"locales_array", setting(QStringLiteral("locales"), QJsonArray{}), Outcome::undecodable},
        {"document_string", setting(QStringLiteral("locales/en"), QStringLiteral("x")), Outcome::undecodable},
        {"lead_string", setting(QStringLiteral("locales/ja/lead"), QStringLiteral("x")),
         Outcome::undecodable},
        {"lead_number_element", setting(QStringLiteral("locales/ja/lead/0"), 3), Outcome::undecodable},
        {"navigation_array", setting(QStringLiteral("locales/en/navigation"), QJsonArray{}),
         Outcome::undecodable},
        {"navigation_number_value", setting(QStringLiteral("locales/en/navigation/home"), 1),
         Outcome::undecodable},
        {"sections_object", setting(QStringLiteral("locales/en/sections"), QJsonObject{}),
         Outcome::undecodable},
        {"section_string", setting(QStringLiteral("locales/en/sections/2"), QStringLiteral("x")),
         Outcome::undecodable},
        {"section_id_number", setting(QStringLiteral("locales/en/sections/2/id"), 2), Outcome::undecodable},
        {"paragraph_null", setting(QStringLiteral("locales/en/sections/2/paragraphs/0"), QJsonValue::Null),
         Outcome::undecodable},
        {"title_bool", setting(QStringLiteral("locales/zh-Hans/title"), false), Outcome::undecodable},
    };
}

std::vector<Row> catalogueRuleRows()
{
    const QJsonObject french = document(QStringLiteral("fr"));
    return {
        {"baseline", [](QJsonObject&) {}, Outcome::valid},
        {"schemaVersion_2", setting(QStringLiteral("schemaVersion"), 2), Outcome::invalid},
        {"schemaVersion_0", setting(QStringLiteral("schemaVersion"), 0), Outcome::invalid},
        {"fifth_language", setting(QStringLiteral("locales/fr"), french), Outcome::invalid},
        {"three_languages", removing(QStringLiteral("locales/ja")), Outcome::invalid},
        {"language_code_zh_CN_for_zh_Hans",
         [](QJsonObject& root) {
             set(root, QStringLiteral("locales/zh-CN"), at(root, QStringLiteral("locales/zh-Hans")));
             remove(root, QStringLiteral("locales/zh-Hans"));
         },
         Outcome::invalid},
        {"no_languages", setting(QStringLiteral("locales"), QJsonObject{}), Outcome::invalid},
        {"sourceLocale_unknown", setting(QStringLiteral("sourceLocale"), QStringLiteral("fr")),
         Outcome::invalid},
        {"sourceLocale_wrong_case", setting(QStringLiteral("sourceLocale"), QStringLiteral("EN")),
         Outcome::invalid},
        {"sourceLocale_ja", setting(QStringLiteral("sourceLocale"), QStringLiteral("ja")), Outcome::valid},
        {"unknown_keys_ignored",
         [](QJsonObject& root) {
             set(root, QStringLiteral("extra"), 1);
             set(root, QStringLiteral("locales/ja/extra"), QStringLiteral("<b>not read</b>"));
             set(root, QStringLiteral("locales/ja/sections/0/extra"), QJsonArray{1, 2});
         },
         Outcome::valid},
    };
}

std::vector<Row> dateRows()
{
    std::vector<Row> rows{
        {"date_leap_day", policyDateEverywhere(QStringLiteral("2024-02-29")), Outcome::valid},
        {"date_first_day", policyDateEverywhere(QStringLiteral("2027-01-01")), Outcome::valid},
    };
    for (const char* bad : {"2026-2-7", "2026-02-7", "2026-2-07", "2026-02-30", "2023-02-29", "2026-13-01",
                            "2026-00-10", "2026-12-00", "07-12-2026", "2026/12/07", " 2026-12-07",
                            "2026-12-07 ", "2026-12-07\n", "26-12-07", "2026-12-07T00:00", "", "+2026-12-07"})
        rows.push_back({"date_" + id(QString::fromLatin1(bad)) + "_refused",
                        policyDateEverywhere(QString::fromLatin1(bad)), Outcome::invalid});
    return rows;
}

std::vector<Row> supportAddressRows()
{
    std::vector<Row> rows;
    for (const char* good : {"x@y.io", "a.b+c%d_e-f@mail-host.example.co.uk", "SUPPORT@VELLORA.APP"})
        rows.push_back({"address_" + id(QString::fromLatin1(good)) + "_accepted",
                        setting(QStringLiteral("supportEmail"), QString::fromLatin1(good)), Outcome::valid});
    for (const char* bad :
         {"support@vellora", "support@vellora.a", "support@vellora.c0m", "@vellora.app", "support@.app.",
          "support@@vellora.app", "sup port@vellora.app", "support@vellora.app\n", " support@vellora.app",
          "support@vellora.app ", "mailto:support@vellora.app", "support@vellora.app,x@y.io", ""})
        rows.push_back({"address_" + id(QString::fromLatin1(bad)) + "_refused",
                        setting(QStringLiteral("supportEmail"), QString::fromLatin1(bad)), Outcome::invalid});
    rows.push_back({"address_non_ascii_refused",
                    setting(QStringLiteral("supportEmail"), QStringLiteral("støtte@vellora.app")),
                    Outcome::invalid});
    return rows;
}

std::vector<Row> documentRuleRows()
{
    return {
        {"sourceVersion_one_character_off",
         setting(QStringLiteral("locales/ja/sourceVersion"), QStringLiteral("2026-12-08")), Outcome::invalid},
        {"sourceVersion_of_source_off",
         setting(QStringLiteral("locales/en/sourceVersion"), QStringLiteral("2026-12-06")), Outcome::invalid},
        {"lead_empty_in_one", setting(QStringLiteral("locales/zh-Hans/lead"), QJsonArray{}),
         Outcome::invalid},
        {"lead_empty_everywhere",
         [](QJsonObject& root) { setInEveryDocument(root, QStringLiteral("lead"), QJsonArray{}); },
         Outcome::invalid},
        {"sections_swapped_in_source",
         [](QJsonObject& root) {
             const QJsonValue first = at(root, QStringLiteral("locales/en/sections/0"));
             set(root, QStringLiteral("locales/en/sections/0"),
                 at(root, QStringLiteral("locales/en/sections/2")));
             set(root, QStringLiteral("locales/en/sections/2"), first);
         },
         Outcome::invalid},
        {"sections_swapped_everywhere",
         [](QJsonObject& root) {
             for (const QString& code : languageCodes) {
                 const QString base = QStringLiteral("locales/%1/sections/").arg(code);
                 const QJsonValue first = at(root, base + u'0');
                 set(root, base + u'0', at(root, base + u'2'));
                 set(root, base + u'2', first);
             }
         },
         Outcome::invalid},
        {"last_section_missing", removing(QStringLiteral("locales/ja/sections/9")), Outcome::invalid},
        {"eleventh_section",
         [](QJsonObject& root) {
             QJsonArray sections = at(root, QStringLiteral("locales/ja/sections")).toArray();
             sections.append(sections.last());
             set(root, QStringLiteral("locales/ja/sections"), sections);
         },
         Outcome::invalid},
        {"section_id_changed", setting(QStringLiteral("locales/en/sections/0/id"), QStringLiteral("Local")),
         Outcome::invalid},
        {"navigation_ninth_key",
         setting(QStringLiteral("locales/zh-Hant/navigation/search"), QStringLiteral("Search")),
         Outcome::invalid},
        {"navigation_without_footer", removing(QStringLiteral("locales/zh-Hant/navigation/footer")),
         Outcome::invalid},
        {"navigation_text_markup",
         setting(QStringLiteral("locales/en/navigation/home"), QStringLiteral("<a>Home</a>")),
         Outcome::invalid},
        {"navigation_text_blank", setting(QStringLiteral("locales/en/navigation/skip"), QStringLiteral(" ")),
         Outcome::invalid},
        {"second_section_longer_in_translation",
         setting(QStringLiteral("locales/ja/sections/1/paragraphs/2"), QStringLiteral("extra")),
         Outcome::invalid},
        {"second_section_shorter_in_source", removing(QStringLiteral("locales/en/sections/1/paragraphs/1")),
         Outcome::invalid},
        {"lead_longer_in_translation",
         setting(QStringLiteral("locales/zh-Hans/lead/1"), QStringLiteral("more")), Outcome::invalid},
        {"same_extra_paragraph_everywhere",
         [](QJsonObject& root) {
             setInEveryDocument(root, QStringLiteral("sections/1/paragraphs/2"), QStringLiteral("extra"));
         },
         Outcome::valid},
        {"texts_differ_in_length_only", paragraphText(QString(5000, u'x')), Outcome::valid},
        {"empty_paragraphs_everywhere",
         [](QJsonObject& root) {
             setInEveryDocument(root, QStringLiteral("sections/5/paragraphs"), QJsonArray{});
         },
         Outcome::invalid},
    };
}

std::vector<Row> textRuleRows()
{
    std::vector<Row> rows;
    const std::vector<std::pair<const char*, const char*>> refused{
        {"opening_tag", "a <b>bold</b> word"},
        {"closing_tag", "ends here</p>"},
        {"comment_opener", "x <!-- y"},
        {"spaces_then_letter", "x <   script"},
        {"tab_then_letter", "x <\tdiv"},
        {"newline_then_slash", "x <\n/p"},
        {"only_spaces", "     "},
        {"only_line_breaks", "\n\r\n\t"},
        {"empty", ""},
    };
    for (const auto& [name, text] : refused)
        rows.push_back({std::string("text_") + name + "_refused", paragraphText(QString::fromUtf8(text)),
                        Outcome::invalid});
    const std::vector<std::pair<const char*, const char*>> accepted{
        {"less_than_space_digit", "a < 3 b"},
        {"less_than_digit", "x<5"},
        {"less_or_equal", "a <= b"},
        {"arrow", "a <- b"},
        {"padded_real_text", "   real text \n"},
    };
    for (const auto& [name, text] : accepted)
        rows.push_back({std::string("text_") + name + "_accepted", paragraphText(QString::fromUtf8(text)),
                        Outcome::valid});
    rows.push_back({"text_ideographic_space_only_refused", paragraphText(QStringLiteral("\u3000\u3000")),
                    Outcome::invalid});
    rows.push_back({"text_ideographic_space_then_letter_refused", paragraphText(QStringLiteral("x <\u3000p")),
                    Outcome::invalid});
    // Every kind of text of a document is held to the rule.
    for (const char* path : {"languageName", "title", "description", "updatedLabel", "lead/0",
                             "sections/9/paragraphs/0", "sections/7/title", "navigation/language"}) {
        const QString full = QStringLiteral("locales/ja/") + QString::fromLatin1(path);
        rows.push_back({"markup_in_" + id(QString::fromLatin1(path)),
                        setting(full, QStringLiteral("<i>x</i>")), Outcome::invalid});
        rows.push_back({"blank_" + id(QString::fromLatin1(path)), setting(full, QStringLiteral(" \n ")),
                        Outcome::invalid});
    }
    return rows;
}

std::vector<Row> allRows()
{
    std::vector<Row> rows;
    for (auto part : {missingKeyRows(), wrongTypeRows(), catalogueRuleRows(), dateRows(),
                      supportAddressRows(), documentRuleRows(), textRuleRows()})
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

class PrivacyPolicyValidationTest : public ::testing::TestWithParam<Row> {};

TEST_P(PrivacyPolicyValidationTest, DecodesAndValidatesAsExpected)
{
    QJsonObject root = catalog();
    GetParam().edit(root);
    const QByteArray json = bytes(root);
    const std::optional<PrivacyPolicyCatalog> decoded = PrivacyPolicyCatalog::decode(json);
    const std::optional<PrivacyPolicyCatalog> loaded = PrivacyPolicyCatalog::fromJson(json);

    switch (GetParam().outcome) {
    case Outcome::undecodable:
        EXPECT_FALSE(decoded);
        EXPECT_FALSE(loaded);
        break;
    case Outcome::invalid: {
        ASSERT_TRUE(decoded);
        try {
            decoded->validate();
            ADD_FAILURE() << "validation passed";
        } catch (const PrivacyPolicyCatalog::PolicyError& error) {
            EXPECT_EQ(error.kind(), PrivacyPolicyCatalog::PolicyError::Kind::invalidDocument);
        }
        EXPECT_FALSE(loaded);
        break;
    }
    case Outcome::valid:
        ASSERT_TRUE(decoded);
        EXPECT_NO_THROW(decoded->validate());
        ASSERT_TRUE(loaded);
        EXPECT_EQ(*loaded, *decoded);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, PrivacyPolicyValidationTest, ::testing::ValuesIn(allRows()),
                         [](const auto& info) { return info.param.name; });

TEST(PrivacyPolicyDecodingTest, ReadsEveryFieldOfTheJson)
{
    QJsonObject root = catalog();
    set(root, QStringLiteral("locales/ja/sections/1/paragraphs/1"), QStringLiteral("第二段落"));
    const std::optional<PrivacyPolicyCatalog> decoded = PrivacyPolicyCatalog::decode(bytes(root));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->schemaVersion, 1);
    EXPECT_EQ(decoded->policyVersion, policyDate);
    EXPECT_EQ(decoded->sourceLocale, QStringLiteral("en"));
    EXPECT_EQ(decoded->supportEmail, QStringLiteral("support@vellora.app"));
    EXPECT_EQ(decoded->locales.keys(), (QStringList{QStringLiteral("en"), QStringLiteral("ja"),
                                                    QStringLiteral("zh-Hans"), QStringLiteral("zh-Hant")}));
    const PrivacyPolicyDocument& ja = decoded->locales.value(QStringLiteral("ja"));
    EXPECT_EQ(ja.languageName, QStringLiteral("Language ja"));
    EXPECT_EQ(ja.title, QStringLiteral("Policy ja"));
    EXPECT_EQ(ja.description, QStringLiteral("Description ja"));
    EXPECT_EQ(ja.lead, QStringList{QStringLiteral("Lead ja")});
    EXPECT_EQ(ja.updatedLabel, QStringLiteral("Updated ja"));
    EXPECT_EQ(ja.sourceVersion, policyDate);
    EXPECT_EQ(ja.navigation.value(QStringLiteral("footer")), QStringLiteral("ja footer"));
    EXPECT_EQ(ja.navigation.size(), 8);
    ASSERT_EQ(ja.sections.size(), 10);
    EXPECT_EQ(ja.sections[1],
              (PrivacyPolicySection{QStringLiteral("ai"),
                                    QStringLiteral("ja ai"),
                                    {QStringLiteral("ja paragraph of ai"), QStringLiteral("第二段落")}}));
    EXPECT_EQ(ja.sections[9].id, QStringLiteral("contact"));
}

TEST(PrivacyPolicyDecodingTest, RefusesTextThatIsNotAJsonObjectInUtf8)
{
    QByteArray invalidUtf8 = bytes(catalog());
    invalidUtf8.replace("Lead ja", "Lead \xff\xfe");
    for (const QByteArray& json : {QByteArray(), QByteArray("[]"), QByteArray("null"), QByteArray("{"),
                                   QByteArray("1"), bytes(catalog()).chopped(1), invalidUtf8}) {
        EXPECT_FALSE(PrivacyPolicyCatalog::decode(json)) << json.left(40).toStdString();
        EXPECT_FALSE(PrivacyPolicyCatalog::fromJson(json));
    }
}

} // namespace
