#include "Hotkey/HotKeyRegistrationCoordinator.h"
#include "Platform/HotKeys.h"
#include "Platform/KeyEvents.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace {

constexpr int pressTimeoutMs = 5000;
constexpr int keyV = 9;
constexpr int keyK = 40;
constexpr int commandShift = 0x300;
constexpr int controlOption = 0x1800; // Super+Alt
// The X key code of K on an evdev keyboard, and Super+Alt.
constexpr xcb_keycode_t x11KeyK = 45;
constexpr uint16_t x11SuperAlt = XCB_MOD_MASK_4 | XCB_MOD_MASK_1;

// Types keys with xdotool, another X client; waits for it while the event loop runs.
bool type(const QStringList& keys)
{
    QProcess xdotool;
    xdotool.start(QStandardPaths::findExecutable(QStringLiteral("xdotool")), QStringList{"key"} + keys);
    return xdotool.waitForStarted() &&
           QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, pressTimeoutMs) &&
           xdotool.exitCode() == 0;
}

// Waits for the first press, which may have come while xdotool ran.
bool pressedOnce(const QSignalSpy& spy)
{
    return QTest::qWaitFor([&] { return !spy.isEmpty(); }, pressTimeoutMs);
}

// Another X client that holds a key grab on the root window.
class OtherClientGrab {
public:
    OtherClientGrab(xcb_keycode_t key, uint16_t modifiers)
        : connection_(xcb_connect(nullptr, nullptr))
    {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        xcb_generic_error_t* error =
            xcb_request_check(connection_, xcb_grab_key_checked(connection_, 1, root_, modifiers, key,
                                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        held_ = !error;
        std::free(error);
    }
    ~OtherClientGrab() { xcb_disconnect(connection_); }
    bool held() const { return held_; }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    bool held_ = false;
};

} // namespace

class GlobalHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display";
        ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty());
    }
    void TearDown() override
    {
        for (const Platform::HotKeys::Id id : registered)
            hotKeys.unregisterHotKey(id);
    }

    std::optional<Platform::HotKeys::Id> registerHotKey(int keyCode, int modifiers)
    {
        const auto id = hotKeys.registerHotKey(keyCode, modifiers);
        if (id)
            registered.append(*id);
        return id;
    }

    Platform::HotKeys& hotKeys = Platform::hotKeys();
    QList<Platform::HotKeys::Id> registered;
};

TEST_F(GlobalHotKeysTest, ARegisteredHotKeyFiresOnAKeyPressOfAnotherClient)
{
    const auto id = registerHotKey(keyV, commandShift);
    ASSERT_TRUE(id.has_value());
    QSignalSpy spy(&hotKeys, &Platform::HotKeys::pressed);
    ASSERT_TRUE(type({"ctrl+shift+v"}));
    ASSERT_TRUE(pressedOnce(spy));
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.first().first().value<Platform::HotKeys::Id>(), *id);

    // Other modifiers are another combination.
    ASSERT_TRUE(type({"ctrl+v", "ctrl+alt+shift+v"}));
    QTest::qWait(200);
    EXPECT_EQ(spy.size(), 1);
}

TEST_F(GlobalHotKeysTest, FiresWithCapsLockAndNumLockOn)
{
    ASSERT_TRUE(registerHotKey(keyV, commandShift).has_value());
    QSignalSpy spy(&hotKeys, &Platform::HotKeys::pressed);
    ASSERT_TRUE(type({"Caps_Lock", "Num_Lock", "ctrl+shift+v", "Caps_Lock", "Num_Lock"}));
    EXPECT_TRUE(pressedOnce(spy));
    EXPECT_EQ(spy.size(), 1);
}

TEST_F(GlobalHotKeysTest, SynthesizedKeysReachTheGrab)
{
    ASSERT_TRUE(registerHotKey(keyK, controlOption).has_value());
    QSignalSpy spy(&hotKeys, &Platform::HotKeys::pressed);
    ASSERT_TRUE(Platform::keyEvents().postKeyStroke(keyK, controlOption));
    EXPECT_TRUE(pressedOnce(spy));
    EXPECT_EQ(spy.size(), 1);
}

TEST_F(GlobalHotKeysTest, ACombinationHeldByAnotherClientIsRefused)
{
    std::optional<OtherClientGrab> other;
    other.emplace(x11KeyK, x11SuperAlt);
    ASSERT_TRUE(other->held());
    EXPECT_FALSE(registerHotKey(keyK, controlOption).has_value());

    other.reset();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return registerHotKey(keyK, controlOption).has_value(); }, pressTimeoutMs))
        << "free once the other client let go";
}

TEST_F(GlobalHotKeysTest, ARefusedReloadKeepsThePreviousHotKeyWorking)
{
    HotKeyRegistrationCoordinator coordinator(hotKeys);
    ASSERT_TRUE(coordinator.reload({keyV, commandShift}));
    OtherClientGrab other(x11KeyK, x11SuperAlt);
    ASSERT_TRUE(other.held());
    EXPECT_FALSE(coordinator.reload({keyK, controlOption}));
    EXPECT_EQ(coordinator.registeredShortcut(), (RivEVShortcut{keyV, commandShift}));

    QSignalSpy spy(&coordinator, &HotKeyRegistrationCoordinator::pressed);
    ASSERT_TRUE(type({"ctrl+shift+v"}));
    EXPECT_TRUE(pressedOnce(spy));
    EXPECT_EQ(spy.size(), 1);

    ASSERT_TRUE(coordinator.reload({-1, 0}));
    ASSERT_TRUE(type({"ctrl+shift+v"}));
    QTest::qWait(200);
    EXPECT_EQ(spy.size(), 1) << "unregistered";
}
