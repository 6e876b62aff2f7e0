#include "ProcessRun.h"

#include "Updates/DirectUpdateConfiguration.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Configuring with a packaging option the application would not take stops with a message
// that names the option; a good set configures a copy whose updater is configured.
namespace {

const QMap<QString, QString> goodOptions{
    {QStringLiteral("VELLORA_DISTRIBUTION_CHANNEL"), QStringLiteral("direct")},
    {QStringLiteral("VELLORA_UPDATE_FEED_URL"),
     QStringLiteral("https://updates.example.com:8443/vellora/appcast.xml")},
    // 32 bytes of 0x01.
    {QStringLiteral("VELLORA_UPDATE_PUBLIC_KEY"),
     QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQE=")},
    {QStringLiteral("VELLORA_PUBLIC_CONFIGURATION_URL"),
     QStringLiteral("https://example.com/record.json?v=1")},
};

struct OptionsRow {
    const char* name;
    QMap<QString, QString> changes; // of the good options
    const char* refusal;            // none: configured
};

class PackagingOptionsTest : public ::testing::TestWithParam<OptionsRow> {};

TEST_P(PackagingOptionsTest, ConfiguringRefusesWhatTheApplicationWouldNotTake)
{
    const OptionsRow& row = GetParam();
    QMap<QString, QString> options = goodOptions;
    options.insert(row.changes);
    QTemporaryDir build;
    ASSERT_TRUE(build.isValid());
    QStringList arguments{QStringLiteral("-S"),
                          QStringLiteral(VELLORA_SOURCE_DIR),
                          QStringLiteral("-B"),
                          build.path(),
                          QStringLiteral("-DBUILD_TESTING=OFF"),
                          QStringLiteral("-DVELLORA_BUILD_BENCH=OFF")};
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        arguments << QStringLiteral("-D%1=%2").arg(it.key(), it.value());
    const ProcessRun configure = ProcessRun::of(QStringLiteral(VELLORA_CMAKE_COMMAND), arguments);

    if (row.refusal) {
        EXPECT_NE(configure.exitCode, 0);
        // CMake wraps its messages; the words are what counts.
        EXPECT_TRUE(configure.output.simplified().contains(QLatin1String(row.refusal)))
            << configure.output.toStdString();
        return;
    }
    ASSERT_EQ(configure.exitCode, 0) << configure.output.toStdString();
    QFile info(build.filePath(QStringLiteral("src/generated/Info.json")));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(DirectUpdateConfiguration::fromInfo(QJsonDocument::fromJson(info.readAll()).object()));
}

INSTANTIATE_TEST_SUITE_P(
    Options, PackagingOptionsTest,
    ::testing::Values(
        OptionsRow{"good", {}, nullptr},
        OptionsRow{
            "http feed",
            {{QStringLiteral("VELLORA_UPDATE_FEED_URL"), QStringLiteral("http://updates.example.com/a.xml")}},
            "VELLORA_UPDATE_FEED_URL must be an https address with a host and no user name, query or "
            "fragment; it is \"http://updates.example.com/a.xml\"."},
        OptionsRow{
            "feed with a query",
            {{QStringLiteral("VELLORA_UPDATE_FEED_URL"), QStringLiteral("https://example.com/a.xml?x")}},
            "VELLORA_UPDATE_FEED_URL must be an https address"},
        OptionsRow{"key of 31 bytes",
                   {{QStringLiteral("VELLORA_UPDATE_PUBLIC_KEY"),
                     QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQ==")}},
                   "VELLORA_UPDATE_PUBLIC_KEY must be the Base64 text of a 32-byte Ed25519 public key"},
        OptionsRow{"key not in Base64",
                   {{QStringLiteral("VELLORA_UPDATE_PUBLIC_KEY"),
                     QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBA-E=")}},
                   "VELLORA_UPDATE_PUBLIC_KEY must be the Base64 text of a 32-byte Ed25519 public key"},
        OptionsRow{"http record",
                   {{QStringLiteral("VELLORA_PUBLIC_CONFIGURATION_URL"),
                     QStringLiteral("http://example.com/r.json")}},
                   "VELLORA_PUBLIC_CONFIGURATION_URL must be an https address"},
        OptionsRow{
            "feed without a key",
            {{QStringLiteral("VELLORA_UPDATE_PUBLIC_KEY"), QString()}},
            "VELLORA_DISTRIBUTION_CHANNEL=direct, VELLORA_UPDATE_FEED_URL and VELLORA_UPDATE_PUBLIC_KEY "
            "go together"}),
    [](const auto& info) { return QString::fromLatin1(info.param.name).replace(u' ', u'_').toStdString(); });

} // namespace
