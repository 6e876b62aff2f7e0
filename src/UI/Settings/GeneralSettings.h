#pragma once

#include "UI/Settings/PastePermissionSettingsState.h"
#include "UI/Settings/SettingsDetailPage.h"

#include <QList>
#include <functional>

class AccentShadeSwatches;
class ClipboardStore;
class ColorWell;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class Settings;
class SettingsDetailRow;
class SettingsDetailSection;
class SettingsDetailToggle;

// The General pane: the everyday preferences on one scrolling page. Every control writes
// through Settings (or Localization for the language) at once; there is no Apply. It hosts
// the paste-permission section, the two shortcut recorders and the history section. The
// sync switch goes through the application controller, and clearing the history asks first.
class GeneralSettings final : public SettingsDetailPage {
    Q_OBJECT
public:
    static constexpr int languagePickerWidth = 240;
    static constexpr int modifierPickerWidth = 160;
    static constexpr int barHeightMinimum = 300;
    static constexpr int barHeightMaximum = 720;
    static constexpr int barHeightStep = 10;

    // A switch bound to one Bool preference of Settings.
    struct SwitchBinding {
        const char* title;
        bool (Settings::*read)() const;
        void (Settings::*write)(bool);
        void (Settings::*changed)();
    };

    struct Services {
        Settings& settings;
        ClipboardStore& store;
        // Turns sync on or off, or tells why it can't; reflected from Settings afterwards.
        std::function<void()> toggleSyncedFolder;
        PastePermissionSettingsState::Operations pastePermission;
    };

    explicit GeneralSettings(Services services, QWidget* parent = nullptr);
    ~GeneralSettings() override;

    // The open question before clearing the history, or null.

private:
    void buildLanguageCard();
    void buildActivationSection();
    void buildQuickPasteSection();
    void buildBehaviorSection();
    void buildBarHeight(SettingsDetailSection* section);
    void buildClipColorsSection();
    void buildAccentBlock(SettingsDetailSection* section);
    void buildSyncSection();
    void buildDataSection();
    SettingsDetailSection* addSection(const char* title);
    SettingsDetailRow* addRow(SettingsDetailSection* section, const char* title, QWidget* content);
    // A caption retitled from `text`, or, without it, one whose owner sets its text.
    QLabel* addCaption(SettingsDetailSection* section, const char* text = nullptr);
    SettingsDetailToggle* addToggle(SettingsDetailSection* section, const SwitchBinding& entry);
    QComboBox* makeModifierPicker(const QString& name, void (Settings::*write)(int));

    void syncSwitchFlipped();

    void refreshTexts();
    void refreshLanguage();
    void refreshModifiers();
    void refreshToggles();
    void refreshBarHeight();
    void refreshClipColors();
    void refreshSync();
    void applyColors();

    Settings& settings_;
    ClipboardStore& store_;
    std::function<void()> toggleSyncedFolder_;

    // Every titled piece with the English text it shows, retitled on a change of language.
    QList<std::pair<SettingsDetailSection*, const char*>> sectionTitles_;
    QList<std::pair<SettingsDetailRow*, const char*>> rowTitles_;
    QList<std::pair<QLabel*, const char*>> labelTexts_;
    QList<QLabel*> secondaryLabels_;
    QList<std::pair<SettingsDetailToggle*, const SwitchBinding*>> toggles_;

    QComboBox* languagePicker_ = nullptr;
    QComboBox* quickPastePicker_ = nullptr;
    QComboBox* plainTextPicker_ = nullptr;
    QLabel* barHeightValue_ = nullptr;
    QSlider* barHeightSlider_ = nullptr;
    QWidget* themePicker_ = nullptr;
    QButtonGroup* themeGroup_ = nullptr;
    QLabel* themeCaption_ = nullptr;
    QWidget* accentBlock_ = nullptr;
    ColorWell* baseColorWell_ = nullptr;
    AccentShadeSwatches* swatches_ = nullptr;
    SettingsDetailToggle* syncToggle_ = nullptr;
    QLabel* syncCaption_ = nullptr;
    QPushButton* clearHistory_ = nullptr;
};
