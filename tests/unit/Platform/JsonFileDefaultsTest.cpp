#include "Platform/linux/JsonFileDefaults.h"

#include "Platform/FileSystem.h"
#include "fakes/FakeSystemLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
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

TEST_P(JsonFileDefaultsBadFile, IsSetAsideByteForByteBeforeAnyWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vellora/preferences.json"));
    writeAll(path, GetParam().contents);

    Platform::JsonFileDefaults defaults(path);
    EXPECT_TRUE(defaults.value(QStringLiteral("historyLimit")).isUndefined());
    const std::optional<QString> kept = defaults.unreadableFile();
    ASSERT_TRUE(kept);
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(path) +
                                                                       R"(\.unreadable-\d{8}-\d{6})"))
                    .match(*kept)
                    .hasMatch())
        << kept->toStdString();
    EXPECT_EQ(readAll(*kept), GetParam().contents);
    EXPECT_FALSE(QFileInfo::exists(path));

    defaults.setBool(QStringLiteral("playSound"), true);
    EXPECT_EQ(readAll(*kept), GetParam().contents) << "a write leaves the kept file alone";
    Platform::JsonFileDefaults reloaded(path);
    EXPECT_EQ(reloaded.boolValue(QStringLiteral("playSound")), std::optional<bool>(true));
    EXPECT_EQ(reloaded.unreadableFile(), std::nullopt);

    writeAll(path, GetParam().contents);
    const Platform::JsonFileDefaults again(path);
    ASSERT_TRUE(again.unreadableFile());
    EXPECT_NE(*again.unreadableFile(), *kept) << "a second bad file within the second keeps the first";
    EXPECT_EQ(readAll(*kept), GetParam().contents);
}

INSTANTIATE_TEST_SUITE_P(Files, JsonFileDefaultsBadFile,
                         ::testing::Values(BadFileCase{"empty", ""},
                                           BadFileCase{"trailingComma", "{\"historyLimit\": 5000,}"},
                                           BadFileCase{"truncated", "{\"playSound\": tr"},
                                           BadFileCase{"notJson", "playSound=true\n"},
                                           BadFileCase{"array", "[1, 2, 3]"},
                                           BadFileCase{"binary", QByteArray("\x00\xff\xfe{\x01\"", 6)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JsonFileDefaults, FailedWritesKeepValuesTellOnceAndRetry)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("preferences.json"));
    FakeSystemLog log;
    Platform::setSystemLogForTesting(&log);
    bool full = true;
    Platform::setWriteFailureForTesting([&](const QString&) {
        return full ? std::optional<QString>(QStringLiteral("No space left on device")) : std::nullopt;
    });
    Platform::JsonFileDefaults defaults(path);
    QStringList told;
    defaults.saveFailed = [&](const QString& failedPath) { told.append(failedPath); };

    defaults.setInt(QStringLiteral("historyLimit"), 5000);
    defaults.setBool(QStringLiteral("playSound"), true);
    defaults.saveIfNeeded();
    EXPECT_EQ(defaults.intValue(QStringLiteral("historyLimit")), std::optional<qint64>(5000));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(told, QStringList{path});
    EXPECT_EQ(log.lines,
              QStringList{QStringLiteral("Vellora: preferences could not be written to %1: No space "
                                         "left on device")
                              .arg(path)});

    full = false;
    defaults.saveIfNeeded();
    EXPECT_EQ(Platform::JsonFileDefaults(path).intValue(QStringLiteral("historyLimit")),
              std::optional<qint64>(5000));
    EXPECT_EQ(Platform::JsonFileDefaults(path).boolValue(QStringLiteral("playSound")),
              std::optional<bool>(true));

    full = true;
    defaults.setBool(QStringLiteral("playSound"), false);
    EXPECT_EQ(told.size(), 2) << "a new failure after a success is told again";
    EXPECT_EQ(log.lines.size(), 2);
    Platform::setWriteFailureForTesting({});
    Platform::setSystemLogForTesting(nullptr);
}

TEST(JsonFileDefaults, MissingFileIsNotCreatedUntilAWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config/Vellora/preferences.json"));
    Platform::JsonFileDefaults defaults(path);
    EXPECT_EQ(defaults.unreadableFile(), std::nullopt);
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
