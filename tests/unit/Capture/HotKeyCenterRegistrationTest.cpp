#include "fakes/FakeDefaults.h"
#include "fakes/FakeHotKeys.h"

#include "Hotkey/HotKeyCenter.h"
#include "Settings/Settings.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {
using Combination = FakeHotKeys::Combination;
} // namespace

class HotKeyCenterRegistrationTest : public ::testing::Test {
protected:
    FakeDefaults defaults;
    Settings settings{defaults};
    FakeHotKeys hotKeys;
    HotKeyCenter center{hotKeys, settings};
};

TEST_F(HotKeyCenterRegistrationTest, StartRegistersBothHotKeysFromThePreferences)
{
    center.start();
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), (RivEVShortcut{9, 768}));
    EXPECT_EQ(center.browserLinksHotKey().registeredShortcut(), settings.browserLinksShortcut());
    EXPECT_EQ(hotKeys.registered.size(), 2);
}

TEST_F(HotKeyCenterRegistrationTest, TriggersRunOnTheMainQueue)
{
    int clipboardPresses = 0;
    int linkPresses = 0;
    center.trigger = [&] { ++clipboardPresses; };
    center.browserLinksTrigger = [&] { ++linkPresses; };
    center.start();
    ASSERT_TRUE(hotKeys.press(9, 768));
    EXPECT_EQ(clipboardPresses, 0) << "not inside the key event";
    QCoreApplication::processEvents();
    EXPECT_EQ(clipboardPresses, 1);
    EXPECT_EQ(linkPresses, 0);
    const RivEVShortcut links = settings.browserLinksShortcut();
    ASSERT_TRUE(hotKeys.press(links.keyCode, links.modifiers));
    QCoreApplication::processEvents();
    EXPECT_EQ(linkPresses, 1);
    EXPECT_EQ(clipboardPresses, 1);
}

TEST_F(HotKeyCenterRegistrationTest, PreferenceChangesReRegisterAtOnce)
{
    center.start();
    center.connectSettings();
    ASSERT_TRUE(settings.setActivationShortcut({11, 0x1100}));
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), (RivEVShortcut{11, 0x1100}));

    // Refused by the desktop: the previous hot key stays, stored and registered.
    hotKeys.taken.insert({2, 0x100});
    EXPECT_FALSE(settings.setActivationShortcut({2, 0x100}));
    EXPECT_EQ(settings.activationShortcut(), (RivEVShortcut{11, 0x1100}));
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), (RivEVShortcut{11, 0x1100}));

    ASSERT_TRUE(settings.setBrowserLinksShortcut({-1, 0}));
    EXPECT_EQ(center.browserLinksHotKey().registeredShortcut(), std::nullopt);
    EXPECT_EQ(hotKeys.registeredCombinations(), (QList<Combination>{{11, 0x1100}}));
}

TEST_F(HotKeyCenterRegistrationTest, RegisterAgainAfterWaking)
{
    center.start();
    const int before = hotKeys.attempts.size();
    center.registerClipboardHotKeyAgain();
    EXPECT_EQ(hotKeys.attempts.size(), before + 1);
    EXPECT_EQ(hotKeys.attempts.last(), (Combination{9, 768}));
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), (RivEVShortcut{9, 768}));
}
