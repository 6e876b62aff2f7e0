#include "Util/SyncedFolderText.h"
#include "fakes/FakeCloudDrive.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakePasteboard.h"

#include "AppController.h"
#include "Hotkey/HotKeyCenter.h"
#include "Platform/Defaults.h"
#include "Platform/Pasteboard.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "Store/StoreFileCodec.h"
#include "UI/Appearance.h"
#include "UI/QtTranslations.h"
#include "UI/Settings/AccentShadeSwatches.h"
#include "UI/Settings/ColorWell.h"
#include "UI/Settings/GeneralSettings.h"
#include "UI/Settings/HotkeyRecorderView.h"
#include "UI/Settings/SettingsDetailSection.h"
#include "UI/Settings/SettingsDetailToggle.h"
#include "UI/Settings/SettingsSwitch.h"
#include "UI/Theme.h"
#include "Util/Localization.h"
#include "Util/SourceColor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

FakeDefaults& defaults()
{
    return dynamic_cast<FakeDefaults&>(Platform::defaults());
}

Settings& settings()
{
    return Settings::shared();
}

// The shared preferences at their defaults, a store in a temporary folder whose synced folder
// is a fake, a real application controller for sync, and the page over them.
class GeneralSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        Platform::setPasteboardForTesting(&pasteboard);
        Localization::shared().setLanguage(AppLanguage::english);
        resetSettings();
        settings().hooks().launchAtLoginChanged = [this](bool on) { loginItemCalls.append(on); };
        settings().hooks().menuBarIconVisibilityChanged = [this](bool on) { statusItemCalls.append(on); };
        cloud.path = temp.filePath(QStringLiteral("cloud"));
    }

    void TearDown() override
    {
        page.reset();
        controller.reset();
        hotKeyCenter.reset();
        if (store)
            store->saveNow();
        store.reset();
        settings().hooks() = {};
        settings().setICloudSync(false);
        Localization::shared().setLanguage(AppLanguage::english);
        Platform::setPasteboardForTesting(nullptr);
    }

    static void resetSettings()
    {
        Settings& s = settings();
        s.hooks() = {};
        s.setIgnoreConcealed(true);
        s.setPromoteOnPaste(false);
        s.setPlaySound(false);
        s.setPlaySoundOnCopy(false);
        s.setHideOnClickOutside(true);
        s.setLaunchAtLogin(false);
        s.setShowMenuBarIcon(true);
        s.setBarHeight(352);
        s.setShowBarResizeHandle(false);
        s.setQuickPasteModifier(256);
        s.setPlainTextModifier(512);
        s.setClipColorTheme(ClipColorTheme::defaultTheme);
        s.setClipColorAccentHex(QStringLiteral("#FF5A9F"));
        s.setDeletePermanently(false);
        s.setICloudSync(false);
    }

    static ClipItem clip(const QString& text)
    {
        ClipItem item;
        item.type = ClipType::text;
        item.text = text;
        return item;
    }

    // Loads a store from a file holding these clips, then builds the page.
    void load(const QList<ClipItem>& history = {}, const QList<Pinboard>& pinboards = {})
    {
        const QString dataDir = temp.filePath(QStringLiteral("data"));
        ASSERT_TRUE(QDir().mkpath(dataDir));
        StoreSnapshot snapshot;
        snapshot.history = history;
        snapshot.pinboards = pinboards;
        QFile file(QDir(dataDir).filePath(ClipboardStore::storeFileName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(StoreFileCodec::encode(snapshot));
        file.close();
        store = std::make_unique<ClipboardStore>(
            ClipboardStore::Environment{Settings::shared(), dataDir, &cloud, {}});
        store->load();
        hotKeyCenter = std::make_unique<HotKeyCenter>(hotKeys, settings());
        controller = std::make_unique<AppController>(AppController::Services{
            *store,
            settings(),
            *hotKeyCenter,
            [](const QString&, const QString&, double) {},
            [this](const AppController::Alert& alert) { alerts.append(alert); },
        });
        page = std::make_unique<GeneralSettings>(GeneralSettings::Services{
            settings(),
            *store,
            [this] { controller->toggleSyncedFolder(); },
            {[] { return true; }, [] {}, [] { return true; }},
        });
    }

    template <typename T> T* child(const QString& name) const
    {
        T* found = page->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    SettingsDetailToggle* toggle(const QString& title) const
    {
        for (SettingsDetailToggle* candidate : page->findChildren<SettingsDetailToggle*>()) {
            if (candidate->title() == title)
                return candidate;
        }
        ADD_FAILURE() << "no switch " << title.toStdString();
        return nullptr;
    }

    // The titles of the page's sections or switches, in page order.
    template <typename T> QStringList titles() const
    {
        QStringList result;
        for (T* block : page->findChildren<T*>())
            result.append(block->title());
        return result;
    }

    static QStringList itemTexts(const QComboBox* picker)
    {
        QStringList items;
        for (int i = 0; i < picker->count(); ++i)
            items.append(picker->itemText(i));
        return items;
    }

    static void choose(QComboBox* picker, const QVariant& data)
    {
        const int index = picker->findData(data);
        ASSERT_GE(index, 0);
        picker->setCurrentIndex(index);
        emit picker->activated(index);
    }

    QString text(const QString& name) const { return child<QLabel>(name)->text(); }

    QTemporaryDir temp;
    FakeCloudDrive cloud;
    FakePasteboard pasteboard;
    FakeHotKeys hotKeys;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<HotKeyCenter> hotKeyCenter;
    std::unique_ptr<AppController> controller;
    std::unique_ptr<GeneralSettings> page;
    QList<AppController::Alert> alerts;
    QList<bool> loginItemCalls;
    QList<bool> statusItemCalls;
};

// Switches bound to one preference each.

enum class Hook { none, loginItem, statusItem };

struct SwitchCase {
    const char* title;
    const char* key;
    bool initial;
    Hook hook;
};

const SwitchCase switchCases[] = {
    {"Ignore passwords (concealed clips)", "ignoreConcealed", true, Hook::none},
    {"Promote pasted clips to the top of history", "promoteOnPaste", false, Hook::none},
    {"Play sound on paste", "playSound", false, Hook::none},
    {"Play sound when copying from Vellora", "playSoundOnCopy", false, Hook::none},
    {"Hide Vellora when clicking outside", "hideOnClickOutside", true, Hook::none},
    {"Launch at login", "launchAtLogin", false, Hook::loginItem},
    {"Show Vellora in the panel's tray", "showMenuBarIcon", true, Hook::statusItem},
    {"Show resize handle on the Zudov Ive", "showBarResizeHandle", false, Hook::none},
    {"Delete permanently", "deletePermanently", false, Hook::none},
};

class GeneralSettingsSwitchTest : public GeneralSettingsTest,
                                  public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(GeneralSettingsSwitchTest, WritesItsPreferenceOnlyAndFollowsOutsideChanges)
{
    const SwitchCase& c = GetParam();
    load();
    SettingsDetailToggle* row = toggle(QString::fromUtf8(c.title));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->isOn(), c.initial);
    EXPECT_EQ(row->settingsSwitch()->accessibleName(), QString::fromUtf8(c.title));

    QJsonObject before = defaults().values;
    loginItemCalls.clear();
    statusItemCalls.clear();
    row->settingsSwitch()->click();

    EXPECT_EQ(row->isOn(), !c.initial);
    EXPECT_EQ(settings().property(c.key).toBool(), !c.initial);
    QJsonObject after = defaults().values;
    EXPECT_EQ(after.take(QString::fromUtf8(c.key)), QJsonValue(!c.initial));
    before.remove(QString::fromUtf8(c.key));
    EXPECT_EQ(after, before) << "no other preference is written";
    EXPECT_EQ(loginItemCalls, c.hook == Hook::loginItem ? QList<bool>{!c.initial} : QList<bool>{});
    EXPECT_EQ(statusItemCalls, c.hook == Hook::statusItem ? QList<bool>{!c.initial} : QList<bool>{});

    settings().setProperty(c.key, c.initial);
    EXPECT_EQ(row->isOn(), c.initial);
}

INSTANTIATE_TEST_SUITE_P(Switches, GeneralSettingsSwitchTest, ::testing::ValuesIn(switchCases),
                         [](const auto& info) { return std::string(info.param.key); });

// Texts, in English and in one other language.

struct PageTexts {
    AppLanguage language;
    QStringList sections;
    QStringList toggles;
    QStringList modifierItems;
    QString languageFollowSystem;
    QString barHeight;
    QString clearButton;
};

const PageTexts pageTexts[] = {
    {AppLanguage::english,
     {"Paste", "Activation", "History", "Quick Paste", "Behavior", "Clip Colors", "Sync", "Data"},
     {"Ignore passwords (concealed clips)", "Promote pasted clips to the top of history",
      "Play sound on paste", "Play sound when copying from Vellora", "Hide Vellora when clicking outside",
      "Launch at login", "Show Vellora in the panel's tray", "Show resize handle on the Zudov Ive",
      "Sync clipboard via a synced folder", "Delete permanently"},
     {"Ctrl", "Alt", "Super", "Shift"},
     "Follow System",
     "352 pt",
     "Clear Clipboard History"},
    {AppLanguage::japanese,
     {"貼り付け", "起動", "履歴", "クイックペースト", "動作", "クリップの色", "同期", "データ"},
     {"パスワードを無視（非表示のクリップ）", "ペーストしたクリップを履歴の先頭に移動",
      "ペースト時にサウンドを再生", "Vellora からコピーするときにサウンドを再生",
      "外側をクリックしたら Vellora を隠す", "ログイン時に起動", "パネルのトレイに Vellora を表示",
      "Zudov Ive にサイズ変更ハンドルを表示", "同期フォルダでクリップボードを同期", "完全に削除"},
     {"Ctrl", "Alt", "Super", "Shift"},
     "システムに従う",
     "352 ポイント",
     "クリップボード履歴を消去"},
};

class GeneralSettingsTextTest : public GeneralSettingsTest,
                                public ::testing::WithParamInterface<PageTexts> {};

TEST_P(GeneralSettingsTextTest, ShowsEveryTextInTheLanguageInEffect)
{
    const PageTexts& expected = GetParam();
    load();
    // Built in English, then re-texted in place.
    Localization::shared().setLanguage(expected.language);

    EXPECT_EQ(titles<SettingsDetailSection>(), expected.sections);
    EXPECT_EQ(titles<SettingsDetailToggle>(), expected.toggles);
    EXPECT_EQ(itemTexts(child<QComboBox>(QStringLiteral("quickPasteModifier"))), expected.modifierItems);
    EXPECT_EQ(itemTexts(child<QComboBox>(QStringLiteral("plainTextModifier"))), expected.modifierItems);
    // The four language names stay as written.
    EXPECT_EQ(itemTexts(child<QComboBox>(QStringLiteral("languagePicker"))),
              QStringList({expected.languageFollowSystem, "简体中文", "English", "繁體中文", "日本語"}));
    EXPECT_EQ(text(QStringLiteral("barHeightValue")), expected.barHeight);
    EXPECT_EQ(child<QPushButton>(QStringLiteral("clearHistory"))->text(), expected.clearButton);
}

INSTANTIATE_TEST_SUITE_P(Languages, GeneralSettingsTextTest, ::testing::ValuesIn(pageTexts),
                         [](const auto& info) {
                             return AppLanguages::rawValue(info.param.language).toStdString();
                         });

TEST_F(GeneralSettingsTest, LanguagePickerSetsStoresAndFollowsTheLanguage)
{
    load();
    auto* picker = child<QComboBox>(QStringLiteral("languagePicker"));
    EXPECT_EQ(picker->currentData().toString(), QStringLiteral("en"));
    EXPECT_EQ(picker->width(), GeneralSettings::languagePickerWidth);

    choose(picker, QStringLiteral("ja"));
    EXPECT_EQ(Localization::shared().language(), AppLanguage::japanese);
    EXPECT_EQ(defaults().values.value(QStringLiteral("dorvaneLanguage")), QJsonValue(QStringLiteral("ja")));
    EXPECT_EQ(titles<SettingsDetailSection>().value(1), QStringLiteral("起動"));

    Localization::shared().setLanguage(AppLanguage::traditionalChinese);
    EXPECT_EQ(picker->currentData().toString(), QStringLiteral("zh-Hant"));
    EXPECT_EQ(titles<SettingsDetailSection>().value(1), QStringLiteral("啟用"));

    choose(picker, QStringLiteral("system"));
    EXPECT_EQ(Localization::shared().language(), AppLanguage::system);
    EXPECT_EQ(defaults().values.value(QStringLiteral("dorvaneLanguage")),
              QJsonValue(QStringLiteral("system")));
}

// The wheel scrolls the page over a menu or slider and never changes the setting, also while
// the control keeps the keyboard focus from an earlier click or Tab.
struct WheelCase {
    const char* control;
    const char* preference;
};

class GeneralSettingsWheelTest : public GeneralSettingsTest,
                                 public ::testing::WithParamInterface<WheelCase> {};

TEST_P(GeneralSettingsWheelTest, ScrollsThePageAndLeavesTheSettingAlone)
{
    const WheelCase& c = GetParam();
    settings().setHistoryRetentionMode(HistoryRetentionMode::timeInterval);
    load();
    page->resize(600, 400);
    page->show();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    auto* control = child<QWidget>(QString::fromLatin1(c.control));
    const QString key = QString::fromLatin1(c.preference);
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
    const QJsonValue before = defaults().values.value(key);
    const int scrolled = page->verticalScrollBar()->value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->verticalScrollBar()->maximum() > scrolled; }));
    const auto notch = [control] {
        QWheelEvent wheel(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(control, &wheel);
    };

    for (const bool focused : {false, true}) {
        if (focused)
            control->setFocus();
        const int top = page->verticalScrollBar()->value();
        notch();
        EXPECT_EQ(defaults().values.value(key), before) << "focused: " << focused;
        EXPECT_GT(page->verticalScrollBar()->value(), top)
            << "the page scrolls instead; focused: " << focused;
    }
    Localization::shared().setLanguage(AppLanguage::english);
    settings().setHistoryRetentionMode(HistoryRetentionMode::itemCount);
}

INSTANTIATE_TEST_SUITE_P(Controls, GeneralSettingsWheelTest,
                         ::testing::Values(WheelCase{"languagePicker", "dorvaneLanguage"},
                                           WheelCase{"quickPasteModifier", "quickPasteModifier"},
                                           WheelCase{"barHeightSlider", "barHeight"},
                                           WheelCase{"retentionAgeSlider", "historyRetentionDays"}),
                         [](const auto& info) { return std::string(info.param.control); });

TEST_F(GeneralSettingsTest, ActivationRowsHostTheTwoRecorders)
{
    load();
    const QList<HotkeyRecorderView*> recorders = page->findChildren<HotkeyRecorderView*>();
    ASSERT_EQ(recorders.size(), 2);
    EXPECT_EQ(recorders.at(0)->target(), HotkeyRecorderView::Target::activation);
    EXPECT_EQ(recorders.at(1)->target(), HotkeyRecorderView::Target::askAI);
    EXPECT_EQ(static_cast<SettingsDetailRow*>(recorders.at(0)->parentWidget())->title(),
              QStringLiteral("Show Vellora"));
    EXPECT_EQ(static_cast<SettingsDetailRow*>(recorders.at(1)->parentWidget())->title(),
              QStringLiteral("Ask AI"));
}

// Modifier pickers: Settings refuses a shared modifier by swapping the two.

struct ModifierCase {
    const char* picker;
    int chosen;
    int quickPaste;
    int plainText;
};

const ModifierCase modifierCases[] = {
    {"quickPasteModifier", 2048, 2048, 512}, {"quickPasteModifier", 512, 512, 256},
    {"quickPasteModifier", 256, 256, 512},   {"plainTextModifier", 4096, 256, 4096},
    {"plainTextModifier", 256, 512, 256},
};

class GeneralSettingsModifierTest : public GeneralSettingsTest,
                                    public ::testing::WithParamInterface<ModifierCase> {};

TEST_P(GeneralSettingsModifierTest, ChoosingWritesThroughSettingsAndBothMenusShowThePair)
{
    const ModifierCase& c = GetParam();
    load();
    auto* quick = child<QComboBox>(QStringLiteral("quickPasteModifier"));
    auto* plain = child<QComboBox>(QStringLiteral("plainTextModifier"));
    EXPECT_EQ(quick->width(), GeneralSettings::modifierPickerWidth);

    choose(child<QComboBox>(QString::fromUtf8(c.picker)), c.chosen);

    EXPECT_EQ(settings().quickPasteModifier(), c.quickPaste);
    EXPECT_EQ(settings().plainTextModifier(), c.plainText);
    EXPECT_EQ(defaults().values.value(QStringLiteral("quickPasteModifier")), QJsonValue(c.quickPaste));
    EXPECT_EQ(defaults().values.value(QStringLiteral("plainTextModifier")), QJsonValue(c.plainText));
    EXPECT_EQ(quick->currentData().toInt(), c.quickPaste);
    EXPECT_EQ(plain->currentData().toInt(), c.plainText);
}

INSTANTIATE_TEST_SUITE_P(Modifiers, GeneralSettingsModifierTest, ::testing::ValuesIn(modifierCases),
                         [](const auto& info) {
                             return std::string(info.param.picker) + "_" + std::to_string(info.param.chosen);
                         });

// Bar height: one slider position per 10 points, the label truncated toward zero.

TEST_F(GeneralSettingsTest, BarHeightSliderWritesAndFollowsTheHeight)
{
    load();
    auto* slider = child<QSlider>(QStringLiteral("barHeightSlider"));
    EXPECT_EQ(slider->maximum() - slider->minimum() + 1, 43);
    EXPECT_EQ(text(QStringLiteral("barHeightValue")), QStringLiteral("352 pt"));

    struct Step {
        int position;
        double stored;
        const char* label;
    };
    for (const Step& step : {Step{0, 300, "300 pt"}, Step{42, 720, "720 pt"}, Step{5, 350, "350 pt"}}) {
        slider->setValue(step.position);
        EXPECT_EQ(settings().barHeight(), step.stored) << step.position;
        EXPECT_EQ(defaults().values.value(QStringLiteral("barHeight")).toDouble(), step.stored);
        EXPECT_EQ(text(QStringLiteral("barHeightValue")), QString::fromUtf8(step.label));
    }

    struct Outside {
        double assigned;
        int position;
        const char* label;
    };
    for (const Outside& change :
         {Outside{455.9, 16, "455 pt"}, Outside{5000, 42, "720 pt"}, Outside{10, 0, "300 pt"}}) {
        const int writes = defaults().writes;
        settings().setBarHeight(change.assigned);
        EXPECT_EQ(slider->value(), change.position) << change.assigned;
        EXPECT_EQ(text(QStringLiteral("barHeightValue")), QString::fromUtf8(change.label));
        EXPECT_EQ(defaults().writes, writes + 1) << "reflecting writes nothing back";
    }
}

// Clip colours.

struct ThemeCase {
    int raw;
    const char* caption;
    bool accent;
};

const ThemeCase themeCases[] = {
    {0, "Match each clip to its source app’s familiar card color.", false},
    {1, "Use a stronger, higher-contrast version of each source app color.", false},
    {2, "Give each source app a stable lighter or darker shade of one color.", true},
};

class GeneralSettingsThemeTest : public GeneralSettingsTest,
                                 public ::testing::WithParamInterface<ThemeCase> {};

TEST_P(GeneralSettingsThemeTest, SegmentWritesTheThemeAndShowsItsBlocks)
{
    const ThemeCase& c = GetParam();
    settings().setClipColorTheme(c.raw == 2 ? ClipColorTheme::defaultTheme : ClipColorTheme::accentShades);
    load();
    child<QPushButton>(QStringLiteral("clipColorTheme-%1").arg(c.raw))->click();

    EXPECT_EQ(defaults().values.value(QStringLiteral("clipColorTheme")), QJsonValue(c.raw));
    EXPECT_EQ(text(QStringLiteral("clipColorThemeCaption")), QString::fromUtf8(c.caption));
    EXPECT_EQ(child<QWidget>(QStringLiteral("accentBlock"))->isHidden(), !c.accent);
    EXPECT_TRUE(child<QPushButton>(QStringLiteral("clipColorTheme-%1").arg(c.raw))->isChecked());

    // A change made elsewhere moves the selection and the blocks with it.
    const int other = (c.raw + 1) % 3;
    settings().setClipColorTheme(ClipColorThemes::fromStored(other));
    EXPECT_TRUE(child<QPushButton>(QStringLiteral("clipColorTheme-%1").arg(other))->isChecked());
    EXPECT_EQ(child<QWidget>(QStringLiteral("accentBlock"))->isHidden(), other != 2);
}

INSTANTIATE_TEST_SUITE_P(Themes, GeneralSettingsThemeTest, ::testing::ValuesIn(themeCases),
                         [](const auto& info) { return "raw" + std::to_string(info.param.raw); });

TEST_F(GeneralSettingsTest, BaseColorWritesHexAndSwatchesFollowIt)
{
    settings().setClipColorTheme(ClipColorTheme::accentShades);
    load();
    auto* well = child<ColorWell>(QStringLiteral("baseColorWell"));
    auto* swatches = child<AccentShadeSwatches>(QStringLiteral("accentSwatches"));
    EXPECT_EQ(swatches->accessibleName(), QStringLiteral("Ten stable shades of the selected base color"));
    EXPECT_EQ(well->color(), QColor(0xFF, 0x5A, 0x9F));
    EXPECT_EQ(swatches->colors(), SourceColor::accentShades(QStringLiteral("#FF5A9F")));
    ASSERT_EQ(swatches->colors().size(), 10);

    // Alpha is dropped; the text is upper-case.
    well->pick(QColor(0x12, 0xab, 0x34, 0x40));
    EXPECT_EQ(defaults().values.value(QStringLiteral("clipColorAccentHex")),
              QJsonValue(QStringLiteral("#12AB34")));
    EXPECT_EQ(swatches->colors(), SourceColor::accentShades(QStringLiteral("#12AB34")));

    // Text that does not parse shows system pink; the shades fall back by themselves.
    settings().setClipColorAccentHex(QStringLiteral("not a colour"));
    EXPECT_EQ(well->color(), QColor(0xFF, 0x2D, 0x55));
    EXPECT_EQ(swatches->colors(), SourceColor::accentShades(QStringLiteral("#FF2D55")));
    EXPECT_EQ(swatches->colors().size(), 10);
}

// Qt's own colour panel and a text field's context menu speak the chosen language; the panel's
// Cancel takes back what was picked in it, its OK keeps it.
TEST_F(GeneralSettingsTest, BaseColorPanelSpeaksTheLanguageAndCancelRestoresTheColour)
{
    const QtTranslations qtTranslations(Localization::shared());
    struct Case {
        AppLanguage language;
        const char* title;
        const char* cancel;
        const char* paste; // in a text field's context menu
    };
    const Case cases[] = {
        {AppLanguage::english, "Select Color", "Cancel", "&Paste"},
        {AppLanguage::japanese, "色を選択", "キャンセル", "貼り付け(&P)"},
        {AppLanguage::chinese, "选择颜色", "取消", "粘贴(&P)"},
        {AppLanguage::traditionalChinese, "選擇顏色", "取消", "貼上(&P)"},
    };
    settings().setClipColorTheme(ClipColorTheme::accentShades);
    settings().setClipColorAccentHex(QStringLiteral("#FF5A9F"));
    load();
    const auto storedHex = [] {
        return defaults().values.value(QStringLiteral("clipColorAccentHex")).toString();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(AppLanguages::rawValue(c.language).toStdString());
        Localization::shared().setLanguage(c.language);
        QLineEdit field;
        const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        QStringList entries;
        for (const QAction* action : menu->actions())
            entries.append(action->text().section(u'\t', 0, 0)); // without its shortcut
        EXPECT_TRUE(entries.contains(QString::fromUtf8(c.paste))) << entries.join(u'|').toStdString();

        auto* well = child<ColorWell>(QStringLiteral("baseColorWell"));
        well->click();
        QColorDialog* panel = well->panel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->windowTitle(), QString::fromUtf8(c.title));
        auto* buttons = panel->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        ASSERT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8(c.cancel));
        panel->setCurrentColor(QColor(0x12, 0xAB, 0x34));
        EXPECT_EQ(storedHex(), QStringLiteral("#12AB34")) << "taken as it is picked";
        buttons->button(QDialogButtonBox::Cancel)->click();
        EXPECT_EQ(storedHex(), QStringLiteral("#FF5A9F"));
        EXPECT_EQ(well->color(), QColor(0xFF, 0x5A, 0x9F));
    }

    auto* well = child<ColorWell>(QStringLiteral("baseColorWell"));
    well->click();
    ASSERT_NE(well->panel(), nullptr);
    well->panel()->setCurrentColor(QColor(0x12, 0xAB, 0x34));
    well->panel()->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(storedHex(), QStringLiteral("#12AB34"));
}

// Clearing the history is a labelled action of its own: it clears at once and asks nothing.
TEST_F(GeneralSettingsTest, ClearClipboardHistoryClearsAtOnceAndKeepsPinboards)
{
    Pinboard board;
    board.name = QStringLiteral("Kept");
    board.clips = {clip(QStringLiteral("pinned"))};
    load({clip(QStringLiteral("a")), clip(QStringLiteral("b")), clip(QStringLiteral("c"))}, {board});

    QTest::mouseClick(child<QPushButton>(QStringLiteral("clearHistory")), Qt::LeftButton);

    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no question";
    EXPECT_EQ(store->history().size(), 0);
    ASSERT_EQ(store->pinboards().size(), 1);
    EXPECT_EQ(store->pinboards().first().clips.size(), 1);
}

// Sync goes through the application controller; the switch shows the preference.

struct SyncCase {
    bool available;
    bool initiallyOn;
    bool on;
    int alerts;
};

const SyncCase syncCases[] = {
    {false, false, false, 1},
    {true, false, true, 0},
    {true, true, false, 0},
    {false, true, false, 0},
};

class GeneralSettingsSyncTest : public GeneralSettingsTest, public ::testing::WithParamInterface<SyncCase> {};

TEST_P(GeneralSettingsSyncTest, SwitchCallsTheControllerAndShowsTheOutcome)
{
    const SyncCase& c = GetParam();
    if (c.available) {
        ASSERT_TRUE(QDir().mkpath(cloud.path));
    }
    settings().setICloudSync(c.initiallyOn);
    load({clip(QStringLiteral("a"))});
    SettingsDetailToggle* row = toggle(QStringLiteral("Sync clipboard via a synced folder"));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->isOn(), c.initiallyOn);
    const QString folder = SyncedFolderText::folderName(cloud.path);
    EXPECT_EQ(text(QStringLiteral("syncCaption")),
              c.available
                  ? QStringLiteral("Keeps your history and pinboards in sync across your computers through "
                                   "%1.")
                        .arg(folder)
                  : QStringLiteral("No synced folder found. Vellora looks for %1; set VELLORA_CLOUD_DRIVE to "
                                   "use another folder.")
                        .arg(folder));

    row->settingsSwitch()->click();

    EXPECT_EQ(settings().iCloudSync(), c.on);
    EXPECT_EQ(row->isOn(), c.on);
    EXPECT_EQ(defaults().values.value(QStringLiteral("iCloudSync")), QJsonValue(c.on));
    ASSERT_EQ(alerts.size(), c.alerts);
    if (c.alerts > 0) {
        EXPECT_EQ(alerts.first().message, QStringLiteral("Synced Folder Unavailable"));
    }
    EXPECT_EQ(store->baseDir().startsWith(cloud.path), c.on) << store->baseDir().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sync, GeneralSettingsSyncTest, ::testing::ValuesIn(syncCases), [](const auto& info) {
    return std::string(info.param.available ? "available" : "unavailable") +
           (info.param.initiallyOn ? "_on" : "_off");
});

} // namespace

namespace {

// "Clear Clipboard History" reads at 4.5:1 in both looks, its label clear of the button's edges.
TEST_F(GeneralSettingsTest, ClearHistoryIsReadableWithRoomAroundItsLabel)
{
    for (const AppearanceMode mode : {AppearanceMode::light, AppearanceMode::dark}) {
        Appearance::shared().setMode(mode);
        load();
        page->show();
        auto* clear = child<QPushButton>(QStringLiteral("clearHistory"));
        const QPalette palette = clear->palette();
        EXPECT_GE(Theme::contrastRatio(palette.color(QPalette::ButtonText), palette.color(QPalette::Button)),
                  4.5)
            << "dark: " << (mode == AppearanceMode::dark);
        const int textWidth = clear->fontMetrics().horizontalAdvance(clear->text());
        EXPECT_GE((clear->width() - textWidth) / 2, 9) << "8 px inside a 1 px frame";
    }
    Appearance::shared().setMode(AppearanceMode::light);
}

} // namespace
