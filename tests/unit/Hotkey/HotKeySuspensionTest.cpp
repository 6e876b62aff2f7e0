#include "fakes/FakeHotKeys.h"

#include "Hotkey/HotKeyRegistrationCoordinator.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

constexpr int keyV = 9;
constexpr int keyB = 11;
constexpr int commandShift = 0x300;
const RivEVShortcut saved{keyV, commandShift};

// What a recorder does while the hot key is released: nothing, or write another shortcut.
struct SuspensionCase {
    const char* name;
    std::optional<RivEVShortcut> reloadedTo; // none: no reload while suspended
    bool taken;                              // the desktop refuses the reloaded combination
    bool reloadAnswer;
    std::optional<RivEVShortcut> registeredAfterResume;
};

class HotKeySuspension : public ::testing::TestWithParam<SuspensionCase> {};

TEST_P(HotKeySuspension, ReleasesTheKeyUntilResumeAndThenRegistersTheLatestShortcut)
{
    const SuspensionCase& c = GetParam();
    FakeHotKeys hotKeys;
    HotKeyRegistrationCoordinator coordinator(hotKeys);
    QSignalSpy presses(&coordinator, &HotKeyRegistrationCoordinator::pressed);
    ASSERT_TRUE(coordinator.reload(saved));

    coordinator.suspend();
    EXPECT_TRUE(hotKeys.registered.isEmpty()) << "the keys reach the focused window";
    EXPECT_FALSE(hotKeys.press(keyV, commandShift));
    if (c.reloadedTo) {
        if (c.taken)
            hotKeys.taken.insert({c.reloadedTo->keyCode, c.reloadedTo->modifiers});
        EXPECT_EQ(coordinator.reload(*c.reloadedTo), c.reloadAnswer);
        EXPECT_TRUE(hotKeys.registered.isEmpty()) << "still released while suspended";
    }
    coordinator.resume();

    EXPECT_EQ(coordinator.registeredShortcut(), c.registeredAfterResume);
    EXPECT_EQ(hotKeys.registered.size(), c.registeredAfterResume ? 1 : 0);
    if (c.registeredAfterResume) {
        EXPECT_TRUE(hotKeys.press(c.registeredAfterResume->keyCode, c.registeredAfterResume->modifiers));
    }
    EXPECT_EQ(presses.count(), c.registeredAfterResume ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Recording, HotKeySuspension,
    ::testing::Values(SuspensionCase{"NothingRecorded", std::nullopt, false, true, saved},
                      SuspensionCase{"AcceptedShortcut", RivEVShortcut{keyB, commandShift}, false, true,
                                     RivEVShortcut{keyB, commandShift}},
                      SuspensionCase{"RefusedShortcutKeepsTheSavedOne", RivEVShortcut{keyB, commandShift},
                                     true, false, saved},
                      SuspensionCase{"ClearedShortcut", RivEVShortcut{-1, 0}, false, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
