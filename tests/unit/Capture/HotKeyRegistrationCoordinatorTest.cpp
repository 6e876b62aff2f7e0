#include "fakes/FakeHotKeys.h"

#include "Hotkey/HotKeyRegistrationCoordinator.h"

#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const RivEVShortcut commandShiftV{9, 768};
const RivEVShortcut commandShiftB{11, 768};
const RivEVShortcut cleared{-1, 0};

using Combination = FakeHotKeys::Combination;

} // namespace

class CoordinatorTest : public ::testing::Test {
protected:
    // The retry timer, fired by hand so that no test waits for real seconds.
    QTimer* retryTimer() { return coordinator.findChild<QTimer*>(QStringLiteral("retryTimer")); }
    void fireRetry() { QMetaObject::invokeMethod(retryTimer(), "timeout"); }

    FakeHotKeys hotKeys;
    HotKeyRegistrationCoordinator coordinator{hotKeys};
};

TEST_F(CoordinatorTest, RegistersANewShortcut)
{
    EXPECT_TRUE(coordinator.reload(commandShiftV));
    EXPECT_EQ(hotKeys.registeredCombinations(), (QList<Combination>{{9, 768}}));
    EXPECT_EQ(coordinator.registeredShortcut(), commandShiftV);
}

TEST_F(CoordinatorTest, TheSameShortcutAgainIsTrueAtOnce)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    hotKeys.refuseAll = true;
    EXPECT_TRUE(coordinator.reload(commandShiftV));
    EXPECT_EQ(hotKeys.attempts.size(), 1);
    EXPECT_EQ(hotKeys.unregistrations, 0);
}

TEST_F(CoordinatorTest, ReplacingUnregistersTheOldOne)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    EXPECT_TRUE(coordinator.reload(commandShiftB));
    EXPECT_EQ(hotKeys.registeredCombinations(), (QList<Combination>{{11, 768}}));
    EXPECT_EQ(coordinator.registeredShortcut(), commandShiftB);
}

TEST_F(CoordinatorTest, ANegativeKeyCodeRegistersNothing)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    hotKeys.refuseAll = true;
    EXPECT_TRUE(coordinator.reload(cleared));
    EXPECT_TRUE(hotKeys.registeredCombinations().isEmpty());
    EXPECT_EQ(coordinator.registeredShortcut(), std::nullopt);
    EXPECT_EQ(hotKeys.attempts.size(), 1);
}

TEST_F(CoordinatorTest, ARefusedShortcutPutsThePreviousOneBack)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    hotKeys.taken.insert({11, 768});
    EXPECT_FALSE(coordinator.reload(commandShiftB));
    EXPECT_EQ(hotKeys.registeredCombinations(), (QList<Combination>{{9, 768}}));
    EXPECT_EQ(coordinator.registeredShortcut(), commandShiftV);
    EXPECT_FALSE(retryTimer()->isActive()) << "nothing left to retry";
}

TEST_F(CoordinatorTest, ARefusedFirstShortcutLeavesNone)
{
    hotKeys.refuseAll = true;
    EXPECT_FALSE(coordinator.reload(commandShiftV));
    EXPECT_EQ(coordinator.registeredShortcut(), std::nullopt);
    EXPECT_FALSE(retryTimer()->isActive());
}

TEST_F(CoordinatorTest, RetriesThePreviousShortcutFiveTimesOneSecondApart)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    hotKeys.refuseAll = true;
    EXPECT_FALSE(coordinator.reload(commandShiftB));
    ASSERT_TRUE(retryTimer()->isActive());
    EXPECT_EQ(retryTimer()->interval(), 1000);
    hotKeys.attempts.clear();
    for (int attempt = 1; attempt <= 5; ++attempt) {
        ASSERT_TRUE(retryTimer()->isActive()) << "attempt " << attempt;
        fireRetry();
    }
    EXPECT_FALSE(retryTimer()->isActive());
    EXPECT_EQ(hotKeys.attempts, QList<Combination>(5, {9, 768}));
    EXPECT_EQ(coordinator.registeredShortcut(), std::nullopt);
}

TEST_F(CoordinatorTest, RetriesStopOnceThePreviousShortcutIsBack)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    hotKeys.refuseAll = true;
    EXPECT_FALSE(coordinator.reload(commandShiftB));
    fireRetry();
    hotKeys.refuseAll = false;
    fireRetry();
    EXPECT_FALSE(retryTimer()->isActive());
    EXPECT_EQ(coordinator.registeredShortcut(), commandShiftV);
    EXPECT_EQ(hotKeys.registeredCombinations(), (QList<Combination>{{9, 768}}));
}

TEST_F(CoordinatorTest, ANewReloadCancelsRetries)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    hotKeys.refuseAll = true;
    EXPECT_FALSE(coordinator.reload(commandShiftB));
    hotKeys.refuseAll = false;
    EXPECT_TRUE(coordinator.reload(cleared));
    EXPECT_FALSE(retryTimer()->isActive());
    EXPECT_TRUE(hotKeys.registeredCombinations().isEmpty());
}

TEST_F(CoordinatorTest, RegisterAgainRenewsTheRegistration)
{
    ASSERT_TRUE(coordinator.reload(commandShiftV));
    coordinator.registerAgain();
    EXPECT_EQ(hotKeys.unregistrations, 1);
    EXPECT_EQ(hotKeys.registeredCombinations(), (QList<Combination>{{9, 768}}));

    hotKeys.refuseAll = true;
    coordinator.registerAgain();
    EXPECT_TRUE(retryTimer()->isActive());
    hotKeys.refuseAll = false;
    fireRetry();
    EXPECT_EQ(coordinator.registeredShortcut(), commandShiftV);
}

TEST_F(CoordinatorTest, SaysWhenItsOwnHotKeyIsPressed)
{
    FakeHotKeys shared;
    HotKeyRegistrationCoordinator clipboard(shared);
    HotKeyRegistrationCoordinator links(shared);
    ASSERT_TRUE(clipboard.reload(commandShiftV));
    ASSERT_TRUE(links.reload(commandShiftB));
    QSignalSpy clipboardSpy(&clipboard, &HotKeyRegistrationCoordinator::pressed);
    QSignalSpy linksSpy(&links, &HotKeyRegistrationCoordinator::pressed);
    ASSERT_TRUE(shared.press(9, 768));
    EXPECT_EQ(clipboardSpy.size(), 1);
    EXPECT_EQ(linksSpy.size(), 0);
    ASSERT_TRUE(links.reload(cleared));
    EXPECT_FALSE(shared.press(11, 768));
    EXPECT_EQ(linksSpy.size(), 0);
}
