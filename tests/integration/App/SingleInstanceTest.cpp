#include "TrayHost.h"
#include "VelloraRun.h"

#include <gtest/gtest.h>

namespace {

constexpr int dockTimeoutMs = 15000;
constexpr int windowTimeoutMs = 5000;

// A later start of the executable with the same folders as `first`.
void startAnother(QProcess& process, const VelloraRun& first)
{
    process.setProcessEnvironment(first.environment);
    process.start(VELLORA_EXECUTABLE, {});
    ASSERT_TRUE(process.waitForStarted());
}

TEST(SingleInstance, aSecondStartShowsTheFirstOnesBarAndEnds)
{
    TrayHost tray;
    ASSERT_TRUE(tray.isRunning());
    VelloraRun first;
    first.start({});
    ASSERT_NE(tray.waitForDock(dockTimeoutMs), 0u);
    ASSERT_FALSE(tray.windowShownBy(first.process.processId()));

    QProcess second;
    startAnother(second, first);
    ASSERT_TRUE(second.waitForFinished(VelloraRun::exitTimeoutMs));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(waitFor([&] { return tray.windowShownBy(first.process.processId()); }, windowTimeoutMs))
        << "the running Vellora shows its bar";
    tray.processEvents();
    EXPECT_EQ(tray.dockedIcons().size(), 1);
    EXPECT_EQ(first.process.state(), QProcess::Running);
}

TEST(SingleInstance, theLockOfACrashedRunIsTakenOver)
{
    VelloraRun crashed;
    {
        TrayHost tray;
        ASSERT_TRUE(tray.isRunning());
        crashed.start({});
        ASSERT_NE(tray.waitForDock(dockTimeoutMs), 0u);
        crashed.process.kill();
        crashed.process.waitForFinished();
    }
    const QString runtime = crashed.environment.value("XDG_RUNTIME_DIR");
    ASSERT_TRUE(QFileInfo::exists(runtime + "/vellora.lock"));
    ASSERT_TRUE(QFileInfo::exists(runtime + "/vellora.socket"));

    TrayHost tray;
    ASSERT_TRUE(tray.isRunning());
    QProcess next;
    startAnother(next, crashed);
    const quint64 icon = tray.waitForDock(dockTimeoutMs);
    ASSERT_NE(icon, 0u) << "the next start runs";
    EXPECT_EQ(tray.processOf(icon), next.processId());
    next.terminate();
    EXPECT_TRUE(next.waitForFinished(VelloraRun::exitTimeoutMs));
}

} // namespace
