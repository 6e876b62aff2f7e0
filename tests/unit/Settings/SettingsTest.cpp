#include "fakes/FakeDefaults.h"

#include "Settings/Settings.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

using Signal = void (Settings::*)();
using Reader = std::function<QJsonValue(const Settings&)>;

QJsonValue shortcutJson(int keyCode, int modifiers)
{
    return QJsonObject{{"keyCode", keyCode}, {"modifiers", modifiers}};
}

// Every stored property: its key, its default as stored, a valid stored value different
// from the default, a value of the wrong type, and how to read the property back.
struct Property {
    QString key;
    QJsonValue defaultValue;
    QJsonValue validValue;
    QJsonValue wrongType;
    Reader read;
};

const std::vector<Property>& properties()
{
    static const std::vector<Property> all{
        {"ignoreConcealed", true, false, 0,
         [](const Settings& s) { return QJsonValue(s.ignoreConcealed()); }},
        {"promoteOnPaste", false, true, "true",
         [](const Settings& s) { return QJsonValue(s.promoteOnPaste()); }},
        {"playSound", false, true, 1, [](const Settings& s) { return QJsonValue(s.playSound()); }},
        {"playSoundOnCopy", false, true, QJsonArray{true},
         [](const Settings& s) { return QJsonValue(s.playSoundOnCopy()); }},
        {"hideOnClickOutside", true, false, QJsonValue::Null,
         [](const Settings& s) { return QJsonValue(s.hideOnClickOutside()); }},
        {"launchAtLogin", false, true, "yes",
         [](const Settings& s) { return QJsonValue(s.launchAtLogin()); }},
        {"showMenuBarIcon", true, false, 0,
         [](const Settings& s) { return QJsonValue(s.showMenuBarIcon()); }},
        {"barHeight", 352.0, 500.5, "500", [](const Settings& s) { return QJsonValue(s.barHeight()); }},
        {"showBarResizeHandle", false, true, "1",
         [](const Settings& s) { return QJsonValue(s.showBarResizeHandle()); }},
        {"quickPasteModifier", 256, 2048, "2048",
         [](const Settings& s) { return QJsonValue(s.quickPasteModifier()); }},
        {"plainTextModifier", 512, 4096, true,
         [](const Settings& s) { return QJsonValue(s.plainTextModifier()); }},
        {"clipColorTheme", 0, 2, "2",
         [](const Settings& s) { return QJsonValue(ClipColorThemes::rawValue(s.clipColorTheme())); }},
        {"clipColorAccentHex", "#FF5A9F", "#00FF00", 0xFF00,
         [](const Settings& s) { return QJsonValue(s.clipColorAccentHex()); }},
        {"deletePermanently", false, true, "true",
         [](const Settings& s) { return QJsonValue(s.deletePermanently()); }},
        {"iCloudSync", false, true, 1, [](const Settings& s) { return QJsonValue(s.iCloudSync()); }},
        {"ignoredSourceAppBundleIDs", QJsonArray{}, QJsonArray{"org.b", "org.a"}, QJsonArray{"org.a", 3},
         [](const Settings& s) {
             return QJsonValue(QJsonArray::fromStringList(s.ignoredSourceAppBundleIDs()));
         }},
        {"historyRetentionMode", "itemCount", "timeInterval", 1,
         [](const Settings& s) {
             return QJsonValue(HistoryRetentionModes::rawValue(s.historyRetentionMode()));
         }},
        {"historyLimit", 500, 1000, "1000", [](const Settings& s) { return QJsonValue(s.historyLimit()); }},
        {"historyRetentionDays", 30, 90, 90.5,
         [](const Settings& s) { return QJsonValue(s.historyRetentionDays()); }},
        {"hotkeyKeyCode", 9, 3, "3", [](const Settings& s) { return QJsonValue(s.hotkeyKeyCode()); }},
        {"hotkeyModifiers", 768, 4352, false,
         [](const Settings& s) { return QJsonValue(s.hotkeyModifiers()); }},
        {"askAIShortcut", shortcutJson(36, 256), shortcutJson(40, 4352),
         "{\"keyCode\":40,\"modifiers\":4352}",
         [](const Settings& s) { return QJsonValue(s.askAIShortcut().toJson()); }},
        {"browserLinksShortcut", shortcutJson(37, 6400), shortcutJson(11, 4352), QJsonArray{11, 4352},
         [](const Settings& s) { return QJsonValue(s.browserLinksShortcut().toJson()); }},
        {"onboarded", false, true, "true", [](const Settings& s) { return QJsonValue(s.onboarded()); }},
    };
    return all;
}

class SettingsTest : public ::testing::Test {
protected:
    Settings& load()
    {
        settings = std::make_unique<Settings>(defaults);
        return *settings;
    }

    FakeDefaults defaults;
    std::unique_ptr<Settings> settings;
};

TEST_F(SettingsTest, EmptyStoreLoadsEveryDefaultAndWritesNothing)
{
    ASSERT_EQ(properties().size(), 24u);
    const Settings& s = load();
    for (const Property& p : properties())
        EXPECT_EQ(p.read(s), p.defaultValue) << p.key.toStdString();
    EXPECT_EQ(defaults.writes, 0);
}

TEST_F(SettingsTest, StoredValuesLoadUnderThePropertyNames)
{
    for (const Property& p : properties())
        defaults.values.insert(p.key, p.validValue);
    const Settings& s = load();
    for (const Property& p : properties())
        EXPECT_EQ(p.read(s), p.validValue) << p.key.toStdString();
    EXPECT_EQ(defaults.writes, 0);
}

TEST_F(SettingsTest, WrongTypeForOneKeyFallsBackForThatKeyAlone)
{
    for (const Property& broken : properties()) {
        defaults.values = {};
        for (const Property& p : properties())
            defaults.values.insert(p.key, p.key == broken.key ? p.wrongType : p.validValue);
        defaults.writes = 0;
        const Settings& s = load();
        for (const Property& p : properties()) {
            const QJsonValue expected = p.key == broken.key ? p.defaultValue : p.validValue;
            EXPECT_EQ(p.read(s), expected)
                << "broken " << broken.key.toStdString() << ", read " << p.key.toStdString();
        }
        EXPECT_EQ(defaults.writes, 0);
    }
}

struct LoadCase {
    QString key;
    QJsonValue stored;
    QJsonValue expected;
};

TEST_F(SettingsTest, LoadingAppliesTheRulesOfAssigning)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const LoadCase cases[] = {
        {"barHeight", 9000.0, 720.0},
        {"barHeight", 720.5, 720.0},
        {"barHeight", 299.5, 300.0},
        {"barHeight", -1.0, 300.0},
        {"barHeight", 300.0, 300.0},
        {"barHeight", nan, 352.0},
        {"barHeight", inf, 352.0},
        {"barHeight", -inf, 352.0},
        {"historyLimit", 3, 20},
        {"historyLimit", 19, 20},
        {"historyLimit", 20, 20},
        {"historyLimit", -100, 20},
        {"historyLimit", 1e12, 500}, // beyond an int: not a valid limit
        {"historyLimit", 3.0, 20},
        {"historyLimit", 25.5, 500},
        {"historyRetentionDays", -1, 0},
        {"historyRetentionDays", 0, 0},
        {"historyRetentionDays", 1, 1},
        {"clipColorTheme", 1, 1},
        {"clipColorTheme", 3, 0},
        {"clipColorTheme", -1, 0},
        {"clipColorTheme", 1.5, 0},
        {"historyRetentionMode", "TimeInterval", "itemCount"},
        {"historyRetentionMode", "", "itemCount"},
        {"historyRetentionMode", "timeInterval", "timeInterval"},
        {"hotkeyKeyCode", -1, -1},
        {"hotkeyKeyCode", 9.5, 9},
        {"askAIShortcut", QJsonObject{{"keyCode", 40}}, shortcutJson(36, 256)},
        {"askAIShortcut", QJsonObject{{"keyCode", "40"}, {"modifiers", 256}}, shortcutJson(36, 256)},
        {"askAIShortcut", QJsonObject{{"keyCode", 40.5}, {"modifiers", 256}}, shortcutJson(36, 256)},
        {"askAIShortcut", QJsonObject{}, shortcutJson(36, 256)},
        {"askAIShortcut", QJsonObject{{"keyCode", -1}, {"modifiers", 0}, {"extra", 1}}, shortcutJson(-1, 0)},
        {"browserLinksShortcut", QJsonObject{{"keyCode", 11}, {"modifiers", 1e12}}, shortcutJson(37, 6400)},
        {"browserLinksShortcut", "garbage", shortcutJson(37, 6400)},
    };
    for (const LoadCase& c : cases) {
        defaults.values = {{c.key, c.stored}};
        const Settings& s = load();
        const auto property = std::find_if(properties().begin(), properties().end(),
                                           [&](const Property& p) { return p.key == c.key; });
        ASSERT_NE(property, properties().end());
        EXPECT_EQ(property->read(s), c.expected)
            << c.key.toStdString() << " stored " << c.stored.toVariant().toString().toStdString();
        EXPECT_EQ(defaults.writes, 0);
    }
}

struct ModifierLoadCase {
    QJsonValue quick;
    QJsonValue plain;
    int expectedQuick;
    int expectedPlain;
};

TEST_F(SettingsTest, LoadedModifiersNeverEndEqual)
{
    const ModifierLoadCase cases[] = {
        {512, 512, 256, 512},     {4096, 4096, 256, 512},
        {256, 256, 256, 512},     {512, 256, 512, 256},
        {2048, 4096, 2048, 4096}, {7, 2048, 256, 2048},
        {7, 256, 256, 512},       {512, 0, 256, 512},
        {768, 4096, 256, 4096},   {QJsonValue::Undefined, 256, 256, 512},
    };
    for (const ModifierLoadCase& c : cases) {
        defaults.values = {};
        if (!c.quick.isUndefined())
            defaults.values.insert("quickPasteModifier", c.quick);
        defaults.values.insert("plainTextModifier", c.plain);
        const Settings& s = load();
        EXPECT_EQ(s.quickPasteModifier(), c.expectedQuick) << c.quick.toInt() << "/" << c.plain.toInt();
        EXPECT_EQ(s.plainTextModifier(), c.expectedPlain) << c.quick.toInt() << "/" << c.plain.toInt();
    }
}

// One assignment: what it stores under its key, and how often the signal fires.
struct WriteCase {
    const char* name;
    QString key;
    Signal changed;
    std::function<void(Settings&)> assign;
    QJsonValue stored;
    int signalCount;
};

TEST_F(SettingsTest, EachAssignmentStoresUnderThePropertyName)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const WriteCase cases[] = {
        {"bool changed", "playSound", &Settings::playSoundChanged, [](Settings& s) { s.setPlaySound(true); },
         true, 1},
        {"bool same", "playSound", &Settings::playSoundChanged, [](Settings& s) { s.setPlaySound(false); },
         false, 0},
        {"concealed", "ignoreConcealed", &Settings::ignoreConcealedChanged,
         [](Settings& s) { s.setIgnoreConcealed(false); }, false, 1},
        {"promote", "promoteOnPaste", &Settings::promoteOnPasteChanged,
         [](Settings& s) { s.setPromoteOnPaste(true); }, true, 1},
        {"copy sound", "playSoundOnCopy", &Settings::playSoundOnCopyChanged,
         [](Settings& s) { s.setPlaySoundOnCopy(true); }, true, 1},
        {"click outside", "hideOnClickOutside", &Settings::hideOnClickOutsideChanged,
         [](Settings& s) { s.setHideOnClickOutside(false); }, false, 1},
        {"resize handle", "showBarResizeHandle", &Settings::showBarResizeHandleChanged,
         [](Settings& s) { s.setShowBarResizeHandle(true); }, true, 1},
        {"delete", "deletePermanently", &Settings::deletePermanentlyChanged,
         [](Settings& s) { s.setDeletePermanently(true); }, true, 1},
        {"sync", "iCloudSync", &Settings::iCloudSyncChanged, [](Settings& s) { s.setICloudSync(true); }, true,
         1},
        {"onboarded", "onboarded", &Settings::onboardedChanged, [](Settings& s) { s.setOnboarded(true); },
         true, 1},
        {"bar height", "barHeight", &Settings::barHeightChanged, [](Settings& s) { s.setBarHeight(400.25); },
         400.25, 1},
        {"bar too high", "barHeight", &Settings::barHeightChanged, [](Settings& s) { s.setBarHeight(9000); },
         720.0, 1},
        {"bar too low", "barHeight", &Settings::barHeightChanged, [](Settings& s) { s.setBarHeight(299.99); },
         300.0, 1},
        {"bar NaN", "barHeight", &Settings::barHeightChanged, [=](Settings& s) { s.setBarHeight(nan); },
         352.0, 0},
        {"bar infinite", "barHeight", &Settings::barHeightChanged,
         [](Settings& s) { s.setBarHeight(std::numeric_limits<double>::infinity()); }, 352.0, 0},
        {"theme", "clipColorTheme", &Settings::clipColorThemeChanged,
         [](Settings& s) { s.setClipColorTheme(ClipColorTheme::accentShades); }, 2, 1},
        {"accent", "clipColorAccentHex", &Settings::clipColorAccentHexChanged,
         [](Settings& s) { s.setClipColorAccentHex("#123456"); }, "#123456", 1},
        {"mode", "historyRetentionMode", &Settings::historyRetentionModeChanged,
         [](Settings& s) { s.setHistoryRetentionMode(HistoryRetentionMode::timeInterval); }, "timeInterval",
         1},
        {"mode same", "historyRetentionMode", &Settings::historyRetentionModeChanged,
         [](Settings& s) { s.setHistoryRetentionMode(HistoryRetentionMode::itemCount); }, "itemCount", 0},
        {"limit", "historyLimit", &Settings::historyLimitChanged, [](Settings& s) { s.setHistoryLimit(21); },
         21, 1},
        {"limit 20", "historyLimit", &Settings::historyLimitChanged,
         [](Settings& s) { s.setHistoryLimit(20); }, 20, 1},
        {"limit 19", "historyLimit", &Settings::historyLimitChanged,
         [](Settings& s) { s.setHistoryLimit(19); }, 20, 1},
        {"limit negative", "historyLimit", &Settings::historyLimitChanged,
         [](Settings& s) { s.setHistoryLimit(-5); }, 20, 1},
        {"limit same", "historyLimit", &Settings::historyLimitChanged,
         [](Settings& s) { s.setHistoryLimit(500); }, 500, 0},
        {"days", "historyRetentionDays", &Settings::historyRetentionDaysChanged,
         [](Settings& s) { s.setHistoryRetentionDays(7); }, 7, 1},
        {"days zero", "historyRetentionDays", &Settings::historyRetentionDaysChanged,
         [](Settings& s) { s.setHistoryRetentionDays(0); }, 0, 1},
        {"days negative", "historyRetentionDays", &Settings::historyRetentionDaysChanged,
         [](Settings& s) { s.setHistoryRetentionDays(-1); }, 0, 1},
        {"days same", "historyRetentionDays", &Settings::historyRetentionDaysChanged,
         [](Settings& s) { s.setHistoryRetentionDays(30); }, 30, 0},
        {"ignored list", "ignoredSourceAppBundleIDs", &Settings::ignoredSourceAppBundleIDsChanged,
         [](Settings& s) {
             s.setIgnoredSourceAppBundleIDs({"b", "a"});
         },
         QJsonArray{"b", "a"}, 1},
        {"ask AI", "askAIShortcut", &Settings::askAIShortcutChanged,
         [](Settings& s) {
             s.setAskAIShortcut({40, 256});
         },
         shortcutJson(40, 256), 1},
        {"ask AI same", "askAIShortcut", &Settings::askAIShortcutChanged,
         [](Settings& s) {
             s.setAskAIShortcut({36, 256});
         },
         shortcutJson(36, 256), 0},
        {"browser links", "browserLinksShortcut", &Settings::browserLinksShortcutChanged,
         [](Settings& s) {
             s.setBrowserLinksShortcutValue({11, 4352});
         },
         shortcutJson(11, 4352), 1},
        {"key code", "hotkeyKeyCode", &Settings::hotkeyKeyCodeChanged,
         [](Settings& s) { s.setHotkeyKeyCode(3); }, 3, 1},
        {"modifiers", "hotkeyModifiers", &Settings::hotkeyModifiersChanged,
         [](Settings& s) { s.setHotkeyModifiers(4352); }, 4352, 1},
    };
    for (const WriteCase& c : cases) {
        defaults.values = {};
        defaults.writes = 0;
        Settings& s = load();
        QSignalSpy spy(&s, c.changed);
        c.assign(s);
        EXPECT_EQ(defaults.values, QJsonObject({{c.key, c.stored}})) << c.name;
        EXPECT_EQ(defaults.writes, 1) << c.name;
        EXPECT_EQ(spy.count(), c.signalCount) << c.name;
    }
}

TEST_F(SettingsTest, UnchangedHotKeyAndBrowserLinksValuesAreNotStored)
{
    Settings& s = load();
    QSignalSpy keySpy(&s, &Settings::hotkeyKeyCodeChanged);
    QSignalSpy modifierSpy(&s, &Settings::hotkeyModifiersChanged);
    QSignalSpy linksSpy(&s, &Settings::browserLinksShortcutChanged);
    s.setHotkeyKeyCode(9);
    s.setHotkeyModifiers(768);
    s.setBrowserLinksShortcutValue({37, 6400});
    EXPECT_EQ(defaults.writes, 0);
    EXPECT_EQ(keySpy.count() + modifierSpy.count() + linksSpy.count(), 0);
}

struct SwapCase {
    int startQuick;
    int startPlain;
    bool assignQuick;
    int value;
    int quick;
    int plain;
    QStringList storedKeys;
    int quickSignals;
    int plainSignals;
};

TEST_F(SettingsTest, ModifierAssignmentsSwapInsteadOfColliding)
{
    const SwapCase cases[] = {
        {256, 512, true, 512, 512, 256, {"plainTextModifier", "quickPasteModifier"}, 1, 1},
        {256, 512, false, 256, 512, 256, {"plainTextModifier", "quickPasteModifier"}, 1, 1},
        {2048, 4096, true, 4096, 4096, 2048, {"plainTextModifier", "quickPasteModifier"}, 1, 1},
        {256, 512, true, 2048, 2048, 512, {"quickPasteModifier"}, 1, 0},
        {256, 512, false, 4096, 256, 4096, {"plainTextModifier"}, 0, 1},
        {256, 512, true, 256, 256, 512, {"quickPasteModifier"}, 0, 0},
        {256, 512, true, 0, 256, 512, {}, 0, 0},
        {256, 512, false, 768, 256, 512, {}, 0, 0},
    };
    for (const SwapCase& c : cases) {
        defaults.values = {{"quickPasteModifier", c.startQuick}, {"plainTextModifier", c.startPlain}};
        Settings& s = load();
        defaults.values = {};
        QSignalSpy quickSpy(&s, &Settings::quickPasteModifierChanged);
        QSignalSpy plainSpy(&s, &Settings::plainTextModifierChanged);
        if (c.assignQuick)
            s.setQuickPasteModifier(c.value);
        else
            s.setPlainTextModifier(c.value);
        EXPECT_EQ(s.quickPasteModifier(), c.quick);
        EXPECT_EQ(s.plainTextModifier(), c.plain);
        EXPECT_EQ(defaults.values.keys(), c.storedKeys) << c.value;
        for (const QString& key : c.storedKeys)
            EXPECT_EQ(defaults.values.value(key).toInt(), key == "quickPasteModifier" ? c.quick : c.plain);
        EXPECT_EQ(quickSpy.count(), c.quickSignals) << c.value;
        EXPECT_EQ(plainSpy.count(), c.plainSignals) << c.value;
    }
}

TEST_F(SettingsTest, ModifiersNeverEndEqualAndObserversNeverSeeThemEqual)
{
    const int masks[] = {256, 2048, 4096, 512};
    Settings& s = load();
    int equalSeen = 0;
    const auto check = [&] { equalSeen += s.quickPasteModifier() == s.plainTextModifier(); };
    QObject::connect(&s, &Settings::quickPasteModifierChanged, check);
    QObject::connect(&s, &Settings::plainTextModifierChanged, check);
    for (int first : masks) {
        for (int second : masks) {
            s.setQuickPasteModifier(first);
            s.setPlainTextModifier(second);
            ASSERT_NE(s.quickPasteModifier(), s.plainTextModifier()) << first << "/" << second;
            EXPECT_EQ(s.plainTextModifier(), second);
            EXPECT_EQ(defaults.values.value("quickPasteModifier").toInt(), s.quickPasteModifier());
            EXPECT_EQ(defaults.values.value("plainTextModifier").toInt(), s.plainTextModifier());
        }
    }
    EXPECT_EQ(equalSeen, 0);
}

TEST_F(SettingsTest, LoginItemAndMenuBarIconHooksReceiveEachAssignment)
{
    Settings& s = load();
    s.setLaunchAtLogin(true); // unset hooks do nothing
    s.setShowMenuBarIcon(false);
    QList<bool> login;
    QList<bool> icon;
    s.hooks().launchAtLoginChanged = [&](bool enabled) { login.append(enabled); };
    s.hooks().menuBarIconVisibilityChanged = [&](bool visible) { icon.append(visible); };
    QSignalSpy loginSpy(&s, &Settings::launchAtLoginChanged);
    s.setLaunchAtLogin(false);
    s.setLaunchAtLogin(false);
    s.setShowMenuBarIcon(true);
    EXPECT_EQ(login, QList<bool>({false, false}));
    EXPECT_EQ(icon, QList<bool>({true}));
    EXPECT_EQ(loginSpy.count(), 1);
    EXPECT_EQ(defaults.values.value("launchAtLogin"), QJsonValue(false));
    EXPECT_EQ(defaults.values.value("showMenuBarIcon"), QJsonValue(true));
}

class ShortcutSettingsTest : public SettingsTest {
protected:
    void SetUp() override
    {
        Settings& s = load();
        s.hooks().reloadClipboardHotKey = [this](const RivEVShortcut& shortcut) {
            clipboardReloads.append(shortcut);
            return clipboardReloadSucceeds;
        };
        s.hooks().reloadBrowserLinksHotKey = [this](const RivEVShortcut& shortcut) {
            browserReloads.append(shortcut);
            return browserReloadSucceeds;
        };
    }

    QList<RivEVShortcut> clipboardReloads;
    QList<RivEVShortcut> browserReloads;
    bool clipboardReloadSucceeds = true;
    bool browserReloadSucceeds = true;
};

TEST_F(ShortcutSettingsTest, HotKeyFieldsChangedDirectlyReRegisterAtOnce)
{
    settings->setHotkeyKeyCode(3);
    settings->setHotkeyModifiers(4352);
    settings->setHotkeyModifiers(4352);
    EXPECT_EQ(clipboardReloads, QList<RivEVShortcut>({{3, 768}, {3, 4352}}));
}

TEST_F(ShortcutSettingsTest, ActivationShortcutIsWrittenAndReloadedOnce)
{
    QSignalSpy keySpy(settings.get(), &Settings::hotkeyKeyCodeChanged);
    EXPECT_TRUE(settings->setActivationShortcut({3, 4352}));
    EXPECT_EQ(settings->activationShortcut(), RivEVShortcut({3, 4352}));
    EXPECT_EQ(clipboardReloads, QList<RivEVShortcut>({{3, 4352}}));
    EXPECT_EQ(defaults.values, QJsonObject({{"hotkeyKeyCode", 3}, {"hotkeyModifiers", 4352}}));
    EXPECT_EQ(keySpy.count(), 1);
}

TEST_F(ShortcutSettingsTest, RefusedActivationShortcutRestoresThePreviousPair)
{
    clipboardReloadSucceeds = false;
    EXPECT_FALSE(settings->setActivationShortcut({3, 4352}));
    EXPECT_EQ(settings->activationShortcut(), RivEVShortcut({9, 768}));
    EXPECT_EQ(clipboardReloads, QList<RivEVShortcut>({{3, 4352}, {9, 768}}));
    EXPECT_EQ(defaults.values, QJsonObject({{"hotkeyKeyCode", 9}, {"hotkeyModifiers", 768}}));
}

TEST_F(ShortcutSettingsTest, ActivationShortcutRefusedOrUnchanged)
{
    struct Case {
        const char* name;
        RivEVShortcut browserLinks;
        RivEVShortcut candidate;
        bool result;
    };
    const Case cases[] = {
        {"equals browser links", {37, 6400}, {37, 6400}, false},
        {"keypad Enter against Return", {36, 4352}, {76, 4352}, false},
        {"Return against keypad Enter", {76, 4352}, {36, 4352}, false},
        {"equals the current pair", {37, 6400}, {9, 768}, true},
    };
    for (const Case& c : cases) {
        settings->setBrowserLinksShortcutValue(c.browserLinks);
        defaults.values = {};
        defaults.writes = 0;
        clipboardReloads.clear();
        EXPECT_EQ(settings->setActivationShortcut(c.candidate), c.result) << c.name;
        EXPECT_EQ(settings->activationShortcut(), RivEVShortcut({9, 768})) << c.name;
        EXPECT_EQ(defaults.writes, 0) << c.name;
        EXPECT_TRUE(clipboardReloads.isEmpty()) << c.name;
    }
}

TEST_F(ShortcutSettingsTest, ClearingTheActivationShortcutIsAllowedWhenBrowserLinksIsClear)
{
    settings->setBrowserLinksShortcutValue({-1, 0});
    EXPECT_TRUE(settings->setActivationShortcut({-1, 0}));
    EXPECT_EQ(settings->activationShortcut(), RivEVShortcut({-1, 0}));
    EXPECT_EQ(clipboardReloads, QList<RivEVShortcut>({{-1, 0}}));
}

TEST_F(ShortcutSettingsTest, BrowserLinksShortcutRefusals)
{
    struct Case {
        const char* name;
        RivEVShortcut candidate;
    };
    const Case cases[] = {
        {"no Command or Control", {11, 0x800}},
        {"opens Vellora", {9, 768}},
        {"reserved", {8, 256}},
        {"equals ask AI", {36, 256}},
        {"keypad Enter equals ask AI", {76, 256}},
    };
    for (const Case& c : cases) {
        QSignalSpy spy(settings.get(), &Settings::browserLinksShortcutChanged);
        EXPECT_FALSE(settings->setBrowserLinksShortcut(c.candidate)) << c.name;
        EXPECT_EQ(settings->browserLinksShortcut(), RivEVShortcut({37, 6400})) << c.name;
        EXPECT_EQ(spy.count(), 0) << c.name;
    }
    EXPECT_EQ(defaults.writes, 0);
    EXPECT_TRUE(browserReloads.isEmpty());
}

TEST_F(ShortcutSettingsTest, BrowserLinksShortcutStoredAndReloaded)
{
    EXPECT_TRUE(settings->setBrowserLinksShortcut({11, 4352}));
    EXPECT_EQ(settings->browserLinksShortcut(), RivEVShortcut({11, 4352}));
    EXPECT_EQ(defaults.values, QJsonObject({{"browserLinksShortcut", shortcutJson(11, 4352)}}));
    EXPECT_EQ(browserReloads, QList<RivEVShortcut>({{11, 4352}}));

    EXPECT_TRUE(settings->setBrowserLinksShortcut({-1, 0}));
    EXPECT_EQ(defaults.values.value("browserLinksShortcut"), shortcutJson(-1, 0));
    EXPECT_TRUE(clipboardReloads.isEmpty());
}

TEST_F(ShortcutSettingsTest, RefusedBrowserLinksShortcutRestoresThePreviousValue)
{
    browserReloadSucceeds = false;
    QSignalSpy spy(settings.get(), &Settings::browserLinksShortcutChanged);
    EXPECT_FALSE(settings->setBrowserLinksShortcut({11, 4352}));
    EXPECT_EQ(settings->browserLinksShortcut(), RivEVShortcut({37, 6400}));
    EXPECT_EQ(defaults.values.value("browserLinksShortcut"), shortcutJson(37, 6400));
    EXPECT_EQ(browserReloads, QList<RivEVShortcut>({{11, 4352}, {37, 6400}}));
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(SettingsTest, StoredShortcutsMeetTheRecorderRulesAndAreCorrected)
{
    const QJsonObject activationDefault{{"hotkeyKeyCode", 9}, {"hotkeyModifiers", 768}};
    struct Case {
        const char* name;
        QJsonObject stored;
        RivEVShortcut activation;
        RivEVShortcut browserLinks;
        RivEVShortcut askAI;
        QJsonObject afterLoad;
    };
    const Case cases[] = {
        {"no modifier", {{"hotkeyModifiers", 0}}, {9, 768}, {37, 6400}, {36, 256}, activationDefault},
        {"Shift alone",
         {{"hotkeyKeyCode", 9}, {"hotkeyModifiers", 512}},
         {9, 768},
         {37, 6400},
         {36, 256},
         activationDefault},
        {"modifiers -1", {{"hotkeyModifiers", -1}}, {9, 768}, {37, 6400}, {36, 256}, activationDefault},
        {"bits beyond the modifiers",
         {{"hotkeyModifiers", 768 | 0x10000}},
         {9, 768},
         {37, 6400},
         {36, 256},
         activationDefault},
        {"unknown key code", {{"hotkeyKeyCode", 300}}, {9, 768}, {37, 6400}, {36, 256}, activationDefault},
        {"Option and a letter",
         {{"hotkeyModifiers", 2048}},
         {9, 2048},
         {37, 6400},
         {36, 256},
         {{"hotkeyModifiers", 2048}}},
        {"cleared",
         {{"hotkeyKeyCode", -1}, {"hotkeyModifiers", 0}},
         {-1, 0},
         {37, 6400},
         {36, 256},
         {{"hotkeyKeyCode", -1}, {"hotkeyModifiers", 0}}},
        {"browser links opens Vellora",
         {{"browserLinksShortcut", shortcutJson(9, 768)}},
         {9, 768},
         {37, 6400},
         {36, 256},
         {{"browserLinksShortcut", shortcutJson(37, 6400)}}},
        {"browser links without Command or Control",
         {{"browserLinksShortcut", shortcutJson(37, 2048)}},
         {9, 768},
         {37, 6400},
         {36, 256},
         {{"browserLinksShortcut", shortcutJson(37, 6400)}}},
        {"ask AI reserved",
         {{"askAIShortcut", shortcutJson(49, 256)}},
         {9, 768},
         {37, 6400},
         {36, 256},
         {{"askAIShortcut", shortcutJson(36, 256)}}},
        {"ask AI equals browser links",
         {{"askAIShortcut", shortcutJson(37, 6400)}},
         {9, 768},
         {37, 6400},
         {36, 256},
         {{"askAIShortcut", shortcutJson(36, 256)}}},
    };
    for (const Case& c : cases) {
        defaults.values = c.stored;
        const Settings& s = load();
        EXPECT_EQ(s.activationShortcut(), c.activation) << c.name;
        EXPECT_EQ(s.browserLinksShortcut(), c.browserLinks) << c.name;
        EXPECT_EQ(s.askAIShortcut(), c.askAI) << c.name;
        EXPECT_EQ(defaults.values, c.afterLoad) << c.name;
    }
}

TEST_F(SettingsTest, RetentionFromAnUnreadableFileWaitsForTheUserAcrossLaunches)
{
    const QJsonObject marked{{"historyRetentionUnconfirmed", true}};
    const std::function<void(Settings&)> assignments[] = {
        [](Settings& s) { s.setHistoryLimit(5000); },
        [](Settings& s) { s.setHistoryRetentionDays(30); },
        [](Settings& s) { s.setHistoryRetentionMode(HistoryRetentionMode::itemCount); },
    };
    for (const auto& assign : assignments) {
        defaults.values = {};
        defaults.unreadable = QStringLiteral("/config/Vellora/preferences.json.unreadable-20260101-120000");
        EXPECT_FALSE(load().historyRetentionConfirmed());
        EXPECT_EQ(defaults.values, marked);

        defaults.unreadable.reset();
        Settings& relaunched = load();
        EXPECT_FALSE(relaunched.historyRetentionConfirmed())
            << "the next launch reads defaults, not the user's";
        assign(relaunched);
        EXPECT_TRUE(relaunched.historyRetentionConfirmed());
        EXPECT_FALSE(defaults.values.contains("historyRetentionUnconfirmed"));
        EXPECT_TRUE(load().historyRetentionConfirmed());
    }
}

TEST_F(SettingsTest, UnsetReloadHooksCountAsSuccess)
{
    Settings& s = load();
    EXPECT_TRUE(s.setActivationShortcut({3, 4352}));
    EXPECT_TRUE(s.setBrowserLinksShortcut({11, 4352}));
    EXPECT_EQ(s.activationShortcut(), RivEVShortcut({3, 4352}));
    EXPECT_EQ(s.browserLinksShortcut(), RivEVShortcut({11, 4352}));
}

TEST_F(SettingsTest, IgnoredSourceAppsStaySortedWithoutDuplicates)
{
    defaults.values = {{"ignoredSourceAppBundleIDs", QJsonArray{"org.z", "org.b", "org.z"}}};
    Settings& s = load();
    QSignalSpy spy(&s, &Settings::ignoredSourceAppBundleIDsChanged);

    s.addIgnoredSourceApp("org.a");
    EXPECT_EQ(s.ignoredSourceAppBundleIDs(), QStringList({"org.a", "org.b", "org.z", "org.z"}));
    EXPECT_EQ(defaults.values.value("ignoredSourceAppBundleIDs"),
              QJsonArray({"org.a", "org.b", "org.z", "org.z"}));

    const int writes = defaults.writes;
    s.addIgnoredSourceApp("org.b");
    EXPECT_EQ(defaults.writes, writes);

    s.removeIgnoredSourceApp("org.z");
    EXPECT_EQ(s.ignoredSourceAppBundleIDs(), QStringList({"org.a", "org.b"}));
    EXPECT_EQ(defaults.values.value("ignoredSourceAppBundleIDs"), QJsonArray({"org.a", "org.b"}));

    s.removeIgnoredSourceApp("org.missing");
    EXPECT_EQ(defaults.writes, writes + 2);
    EXPECT_EQ(spy.count(), 2);
}

TEST(SettingsSharedTest, SharedInstanceUsesTheProcessDefaults)
{
    Settings& shared = Settings::shared();
    EXPECT_EQ(&shared, &Settings::shared());
    const int previous = shared.historyRetentionDays();
    shared.setHistoryRetentionDays(previous + 1);
    EXPECT_EQ(Platform::defaults().intValue("historyRetentionDays"), previous + 1);
    shared.setHistoryRetentionDays(previous);
}

} // namespace
