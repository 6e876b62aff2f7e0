#include "Platform/linux/JsonFileDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct BadFileCase {
    const char* name;
    QByteArray contents;
};

class JsonFileDefaultsBadFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(JsonFileDefaultsBadFile, LoadsEmptyAndLeavesTheFileUntilAWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vellora/preferences.json"));
    writeAll(path, GetParam().contents);

    Platform::JsonFileDefaults defaults(path);
    EXPECT_TRUE(defaults.value(QStringLiteral("playSound")).isUndefined());
    EXPECT_TRUE(defaults.loadFailed());
    EXPECT_EQ(readAll(path), GetParam().contents) << "loading must not rewrite the file";

    defaults.setBool(QStringLiteral("playSound"), true);
    EXPECT_FALSE(defaults.loadFailed());
    Platform::JsonFileDefaults reloaded(path);
    EXPECT_EQ(reloaded.boolValue(QStringLiteral("playSound")), std::optional<bool>(true));
}

INSTANTIATE_TEST_SUITE_P(Files, JsonFileDefaultsBadFile,
                         ::testing::Values(BadFileCase{"empty", ""},
                                           BadFileCase{"truncated", "{\"playSound\": tr"},
                                           BadFileCase{"notJson", "playSound=true\n"},
                                           BadFileCase{"array", "[1, 2, 3]"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JsonFileDefaults, MissingFileIsNotCreatedUntilAWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config/Vellora/preferences.json"));
    Platform::JsonFileDefaults defaults(path);
    EXPECT_FALSE(defaults.loadFailed());
    EXPECT_FALSE(QFileInfo::exists(path));

    defaults.setString(QStringLiteral("dorvaneLanguage"), QStringLiteral("ja"));
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).permissions() & 0x7777, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(QFileInfo(QFileInfo(path).absolutePath()).permissions() & 0x0077, 0)
        << "the preferences folder must be private";
}

TEST(JsonFileDefaults, TypedReadsRejectOtherTypes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("preferences.json"));
    writeAll(path,
             R"({"flag": 1, "count": 3.0, "half": 3.5, "name": true, "list": ["a", 2], "ok": ["a", "b"]})");
    Platform::JsonFileDefaults defaults(path);

    EXPECT_EQ(defaults.boolValue(QStringLiteral("flag")), std::nullopt);
    EXPECT_EQ(defaults.intValue(QStringLiteral("count")), std::optional<qint64>(3));
    EXPECT_EQ(defaults.intValue(QStringLiteral("half")), std::nullopt);
    EXPECT_EQ(defaults.doubleValue(QStringLiteral("half")), std::optional<double>(3.5));
    EXPECT_EQ(defaults.stringValue(QStringLiteral("name")), std::nullopt);
    EXPECT_EQ(defaults.stringListValue(QStringLiteral("list")), std::nullopt);
    EXPECT_EQ(defaults.stringListValue(QStringLiteral("ok")), std::optional<QStringList>({"a", "b"}));
    EXPECT_EQ(defaults.intValue(QStringLiteral("missing")), std::nullopt);
}

TEST(JsonFileDefaults, RemoveAndRewritePreserveOtherKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("preferences.json"));
    {
        Platform::JsonFileDefaults defaults(path);
        defaults.setInt(QStringLiteral("historyLimit"), 40);
        defaults.setBool(QStringLiteral("playSound"), true);
        defaults.remove(QStringLiteral("playSound"));
    }
    Platform::JsonFileDefaults reloaded(path);
    EXPECT_EQ(reloaded.intValue(QStringLiteral("historyLimit")), std::optional<qint64>(40));
    EXPECT_FALSE(reloaded.contains(QStringLiteral("playSound")));
}

} // namespace
