#include "Store/StoreFileCodec.h"
#include "TrayHost.h"
#include "VelloraRun.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr int dockTimeoutMs = 15000;
constexpr int captureTimeoutMs = 15000;
constexpr int historySize = 3000;

std::optional<StoreSnapshot> readStore(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto decoded = StoreFileCodec::decode(file.readAll());
    return decoded ? std::optional(decoded->snapshot) : std::nullopt;
}

// A hand edit with a trailing comma, over a history larger than the default limit: the file
// is kept byte for byte, the user is told, and copies in this launch and the next delete
// nothing.
TEST(PreferencesRecovery, anUnreadableFileIsKeptAndItsDefaultsTrimNoHistory)
{
    VelloraRun vellora;
    const QByteArray broken = "{\n    \"historyLimit\": 5000,\n    \"onboarded\": true,\n}\n";
    VelloraRun::writeFile(vellora.preferencesPath(), broken);
    StoreSnapshot snapshot;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < historySize; ++i) {
        ClipItem clip;
        clip.text = QStringLiteral("clip %1").arg(i);
        clip.createdAt = now.addSecs(-i);
        snapshot.history.append(clip);
    }
    const QString storePath = vellora.dataPath("Dorvane/store.json");
    VelloraRun::writeFile(storePath, StoreFileCodec::encode(snapshot));

    for (int launch = 0; launch < 2; ++launch) {
        TrayHost tray;
        ASSERT_TRUE(tray.isRunning());
        vellora.start({});
        ASSERT_NE(tray.waitForDock(dockTimeoutMs), 0u) << launch;
        EXPECT_EQ(waitFor([&] { return tray.windowShownBy(vellora.process.processId()); }, 3000), launch == 0)
            << "the message shows once, at the launch that found the file unreadable";

        const QString copied = QStringLiteral("copied at launch %1").arg(launch);
        QProcess xclip;
        xclip.start("xclip", {"-selection", "clipboard", "-quiet"});
        ASSERT_TRUE(xclip.waitForStarted());
        xclip.write(copied.toUtf8());
        ASSERT_TRUE(xclip.waitForBytesWritten());
        xclip.closeWriteChannel();
        const qsizetype expected = historySize + launch + 1;
        EXPECT_TRUE(waitFor(
            [&] {
                const auto store = readStore(storePath);
                return store && store->history.size() == expected && store->history.first().text == copied;
            },
            captureTimeoutMs))
            << "launch " << launch << ": "
            << (readStore(storePath) ? readStore(storePath)->history.size() : -1);
        xclip.kill();
        xclip.waitForFinished();
        vellora.process.terminate();
        ASSERT_EQ(vellora.waitForExit(), 0);
    }

    const QDir config(QFileInfo(vellora.preferencesPath()).absolutePath());
    const QStringList kept = config.entryList({"preferences.json.unreadable-*"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    QFile keptFile(config.filePath(kept.first()));
    ASSERT_TRUE(keptFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(keptFile.readAll(), broken);
}

} // namespace
