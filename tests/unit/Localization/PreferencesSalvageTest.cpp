#include "Util/PreferencesSalvage.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(PreferencesSalvage, FindsTheOneLanguageChoiceOfABrokenFile)
{
    const struct {
        const char* name;
        QByteArray contents;
        std::optional<AppLanguage> expected;
    } cases[] = {
        {"trailing comma", "{\"historyLimit\": 5000, \"dorvaneLanguage\" : \"ja\",}", AppLanguage::japanese},
        {"truncated", "{\"dorvaneLanguage\":\"zh-Hant\", \"playS", AppLanguage::traditionalChinese},
        {"two entries", "{\"dorvaneLanguage\": \"ja\", \"dorvaneLanguage\": \"en\",}", std::nullopt},
        {"unknown value", "{\"dorvaneLanguage\": \"fr\",}", std::nullopt},
        {"not a string", "{\"dorvaneLanguage\": 3,}", std::nullopt},
        {"binary", QByteArray("\x00\xff\"dorvaneLanguage\x01", 19), std::nullopt},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.contents);
        file.close();
        EXPECT_EQ(PreferencesSalvage::languageChoice(path), c.expected) << c.name;
    }
    EXPECT_EQ(PreferencesSalvage::languageChoice(dir.filePath("missing")), std::nullopt);
}

} // namespace
