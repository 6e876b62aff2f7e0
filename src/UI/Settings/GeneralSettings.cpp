#include "UI/Settings/GeneralSettings.h"

#include "Settings/Settings.h"
#include "Settings/ShortcutModifier.h"
#include "Store/ClipboardStore.h"
#include "UI/Appearance.h"
#include "UI/Settings/AccentShadeSwatches.h"
#include "UI/Settings/ColorWell.h"
#include "UI/Settings/HistoryRetentionSettings.h"
#include "UI/Settings/HotkeyRecorderView.h"
#include "UI/Settings/PastePermissionSettingsSection.h"
#include "UI/Settings/SettingsDetailCard.h"
#include "UI/Settings/SettingsDetailRow.h"
#include "UI/Settings/SettingsDetailSection.h"
#include "UI/Settings/SettingsDetailToggle.h"
#include "UI/Settings/SettingsLabels.h"
#include "UI/Settings/SettingsSegment.h"
#include "UI/Settings/SettingsSwitch.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/ClipColorTheme.h"
#include "Util/ColorHex.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"
#include "Util/SourceColor.h"
#include "Util/SyncedFolderText.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <array>

namespace {

using SettingsLabels::plainLabel;
using SettingsLabels::setTextColor;

constexpr int quickPasteRowSpacing = 6;
constexpr int previewSpacing = 12;
constexpr QRgb systemPink = 0xFF2D55;

using Binding = GeneralSettings::SwitchBinding;

const std::array<Binding, 7> behaviorSwitches{{
    {"Ignore passwords (concealed clips)", &Settings::ignoreConcealed, &Settings::setIgnoreConcealed,
     &Settings::ignoreConcealedChanged},
    {"Promote pasted clips to the top of history", &Settings::promoteOnPaste, &Settings::setPromoteOnPaste,
     &Settings::promoteOnPasteChanged},
    {"Play sound on paste", &Settings::playSound, &Settings::setPlaySound, &Settings::playSoundChanged},
    {"Play sound when copying from Vellora", &Settings::playSoundOnCopy, &Settings::setPlaySoundOnCopy,
     &Settings::playSoundOnCopyChanged},
    {"Hide Vellora when clicking outside", &Settings::hideOnClickOutside, &Settings::setHideOnClickOutside,
     &Settings::hideOnClickOutsideChanged},
    {"Launch at login", &Settings::launchAtLogin, &Settings::setLaunchAtLogin,
     &Settings::launchAtLoginChanged},
    {"Show Vellora in the menu bar", &Settings::showMenuBarIcon, &Settings::setShowMenuBarIcon,
     &Settings::showMenuBarIconChanged},
}};

const Binding resizeHandleSwitch{"Show resize handle on the Zudov Ive", &Settings::showBarResizeHandle,
                                 &Settings::setShowBarResizeHandle, &Settings::showBarResizeHandleChanged};
const Binding deletePermanentlySwitch{"Delete permanently", &Settings::deletePermanently,
                                      &Settings::setDeletePermanently, &Settings::deletePermanentlyChanged};

// The language names are shown as written, in every interface language.
struct LanguageItem {
    AppLanguage language;
    const char* name; // null: "Follow System", localised
};
constexpr std::array<LanguageItem, 5> languageItems{{
    {AppLanguage::system, nullptr},
    {AppLanguage::chinese, "简体中文"},
    {AppLanguage::english, "English"},
    {AppLanguage::traditionalChinese, "繁體中文"},
    {AppLanguage::japanese, "日本語"},
}};

struct ThemeItem {
    ClipColorTheme theme;
    const char* title;
    const char* description;
};
constexpr std::array<ThemeItem, 3> themeItems{{
    {ClipColorTheme::defaultTheme, "Default", "Match each clip to its source app’s familiar card color."},
    {ClipColorTheme::vibrant, "Vibrant", "Use a stronger, higher-contrast version of each source app color."},
    {ClipColorTheme::accentShades, "Accent shades",
     "Give each source app a stable lighter or darker shade of one color."},
}};

QString localized(const char* english)
{
    return Localization::string(QString::fromUtf8(english));
}

QHBoxLayout* bareRow(QWidget* owner, int spacing)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

constexpr double minimumTextContrast = 4.5;
constexpr int buttonTextPadding = 8;
constexpr int buttonFrameWidth = 1;

AdaptiveColor destructiveColor()
{
    return Theme::adaptiveNS(0xFF3B30, 0xFF453A);
}

QColor accentColor(const QString& hex)
{
    return colorFromHex(hex).value_or(QColor::fromRgb(systemPink));
}

void selectData(QComboBox* picker, const QVariant& data)
{
    const QSignalBlocker blocker(picker);
    picker->setCurrentIndex(picker->findData(data));
}

} // namespace

GeneralSettings::GeneralSettings(Services services, QWidget* parent)
    : SettingsDetailPage(parent)
    , settings_(services.settings)
    , store_(services.store)
    , toggleSyncedFolder_(std::move(services.toggleSyncedFolder))
{
    buildLanguageCard();
    addBlock(new PastePermissionSettingsSection(std::move(services.pastePermission)));
    buildActivationSection();
    addBlock(new HistoryRetentionSettings(settings_, store_));
    buildQuickPasteSection();
    buildBehaviorSection();
    buildClipColorsSection();
    buildSyncSection();
    buildDataSection();

    connect(&Localization::shared(), &Localization::languageChanged, this, &GeneralSettings::refreshLanguage);
    connect(&settings_, &Settings::quickPasteModifierChanged, this, &GeneralSettings::refreshModifiers);
    connect(&settings_, &Settings::plainTextModifierChanged, this, &GeneralSettings::refreshModifiers);
    connect(&settings_, &Settings::barHeightChanged, this, &GeneralSettings::refreshBarHeight);
    connect(&settings_, &Settings::clipColorThemeChanged, this, &GeneralSettings::refreshClipColors);
    connect(&settings_, &Settings::clipColorAccentHexChanged, this, &GeneralSettings::refreshClipColors);
    connect(&settings_, &Settings::iCloudSyncChanged, this, &GeneralSettings::refreshSync);
    connect(&Appearance::shared(), &Appearance::changed, this, &GeneralSettings::applyColors);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refreshTexts(); });
    refreshTexts();
    refreshLanguage();
    refreshModifiers();
    refreshToggles();
    applyColors();
}

GeneralSettings::~GeneralSettings() = default;

// Building

SettingsDetailSection* GeneralSettings::addSection(const char* title)
{
    auto* section = new SettingsDetailSection(QString());
    sectionTitles_.append({section, title});
    addBlock(section);
    return section;
}

SettingsDetailRow* GeneralSettings::addRow(SettingsDetailSection* section, const char* title,
                                           QWidget* content)
{
    auto* row = new SettingsDetailRow(QString(), content);
    rowTitles_.append({row, title});
    section->addItem(row);
    return row;
}

QLabel* GeneralSettings::addCaption(SettingsDetailSection* section, const char* text)
{
    QLabel* caption = plainLabel(section, VelloraTypography::caption());
    caption->setWordWrap(true);
    if (text)
        labelTexts_.append({caption, text});
    secondaryLabels_.append(caption);
    section->addItem(caption);
    return caption;
}

SettingsDetailToggle* GeneralSettings::addToggle(SettingsDetailSection* section, const SwitchBinding& entry)
{
    auto* toggle = new SettingsDetailToggle(QString());
    toggles_.append({toggle, &entry});
    connect(toggle, &SettingsDetailToggle::toggled, this,
            [this, &entry](bool on) { (settings_.*entry.write)(on); });
    connect(&settings_, entry.changed, this, &GeneralSettings::refreshToggles);
    section->addItem(toggle);
    return toggle;
}

void GeneralSettings::buildLanguageCard()
{
    auto* card = new SettingsDetailCard;
    languagePicker_ = new QComboBox;
    languagePicker_->setObjectName(QStringLiteral("languagePicker"));
    languagePicker_->setFixedWidth(languagePickerWidth);
    for (const LanguageItem& item : languageItems)
        languagePicker_->addItem(QString::fromUtf8(item.name), AppLanguages::rawValue(item.language));
    connect(languagePicker_, &QComboBox::activated, this, [this](int index) {
        const auto language = AppLanguages::fromRawValue(languagePicker_->itemData(index).toString());
        if (language)
            Localization::shared().setLanguage(*language);
    });
    auto* row = new SettingsDetailRow(QString(), languagePicker_);
    rowTitles_.append({row, "Language"});
    card->addItem(row);
    addBlock(card);
}

void GeneralSettings::buildActivationSection()
{
    SettingsDetailSection* section = addSection("Activation");
    auto* activation = new HotkeyRecorderView(settings_);
    activation->setObjectName(QStringLiteral("activationRecorder"));
    addRow(section, "Show Vellora", activation);
    auto* askAI = new HotkeyRecorderView(settings_);
    askAI->setObjectName(QStringLiteral("askAIRecorder"));
    askAI->setTarget(HotkeyRecorderView::Target::askAI);
    addRow(section, "Ask AI", askAI);
    addCaption(
        section,
        "In the clipboard bar, ask AI about the selected clip or group. Press Escape to cancel recording.");
}

QComboBox* GeneralSettings::makeModifierPicker(const QString& name, void (Settings::*write)(int))
{
    auto* picker = new QComboBox;
    picker->setObjectName(name);
    picker->setFixedWidth(modifierPickerWidth);
    for (const ShortcutModifier modifier : ShortcutModifiers::allCases())
        picker->addItem(QString(), ShortcutModifiers::carbonValue(modifier));
    connect(picker, &QComboBox::activated, this,
            [this, picker, write](int index) { (settings_.*write)(picker->itemData(index).toInt()); });
    return picker;
}

void GeneralSettings::buildQuickPasteSection()
{
    SettingsDetailSection* section = addSection("Quick Paste");
    quickPastePicker_ =
        makeModifierPicker(QStringLiteral("quickPasteModifier"), &Settings::setQuickPasteModifier);
    auto* group = new QWidget;
    QHBoxLayout* layout = bareRow(group, quickPasteRowSpacing);
    layout->addWidget(quickPastePicker_, 0, Qt::AlignVCenter);
    QLabel* digits = plainLabel(group, font());
    labelTexts_.append({digits, "+ 1…9"});
    secondaryLabels_.append(digits);
    layout->addWidget(digits, 0, Qt::AlignVCenter);
    addRow(section, "Paste items 1–9", group);
    plainTextPicker_ =
        makeModifierPicker(QStringLiteral("plainTextModifier"), &Settings::setPlainTextModifier);
    addRow(section, "Paste as plain text", plainTextPicker_);
    addCaption(
        section,
        "Hold the plain-text modifier while using Quick Paste to strip formatting — with the defaults, "
        "⌘⇧1 pastes the first clip as plain text. The two roles can never share a modifier; picking "
        "one that is taken swaps them.");
}

void GeneralSettings::buildBehaviorSection()
{
    SettingsDetailSection* section = addSection("Behavior");
    for (const SwitchBinding& entry : behaviorSwitches)
        addToggle(section, entry);
    buildBarHeight(section);
    addToggle(section, resizeHandleSwitch);
}

void GeneralSettings::buildBarHeight(SettingsDetailSection* section)
{
    auto* block = new QWidget;
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    barHeightValue_ = plainLabel(block, font());
    barHeightValue_->setObjectName(QStringLiteral("barHeightValue"));
    auto* row = new SettingsDetailRow(QString(), barHeightValue_);
    rowTitles_.append({row, "Bar height"});
    layout->addWidget(row);
    // One position per step: 300, 310, ... 720.
    barHeightSlider_ = new QSlider(Qt::Horizontal, block);
    barHeightSlider_->setObjectName(QStringLiteral("barHeightSlider"));
    barHeightSlider_->setRange(0, (barHeightMaximum - barHeightMinimum) / barHeightStep);
    barHeightSlider_->setSingleStep(1);
    barHeightSlider_->setPageStep(1);
    connect(barHeightSlider_, &QSlider::valueChanged, this,
            [this](int position) { settings_.setBarHeight(barHeightMinimum + position * barHeightStep); });
    layout->addWidget(barHeightSlider_);
    section->addItem(block);
}

void GeneralSettings::buildClipColorsSection()
{
    SettingsDetailSection* section = addSection("Clip Colors");
    auto* picker = new QWidget;
    themePicker_ = picker;
    QHBoxLayout* layout = bareRow(picker, 0);
    themeGroup_ = new QButtonGroup(picker);
    themeGroup_->setExclusive(true);
    for (const ThemeItem& item : themeItems) {
        auto* segment = new SettingsSegment(picker);
        const int raw = ClipColorThemes::rawValue(item.theme);
        segment->setObjectName(QStringLiteral("clipColorTheme-%1").arg(raw));
        themeGroup_->addButton(segment, raw);
        layout->addWidget(segment, 1);
    }
    connect(themeGroup_, &QButtonGroup::idClicked, this,
            [this](int raw) { settings_.setClipColorTheme(ClipColorThemes::fromStored(raw)); });
    section->addItem(picker);
    // Its text follows the theme.
    themeCaption_ = addCaption(section);
    themeCaption_->setObjectName(QStringLiteral("clipColorThemeCaption"));
    buildAccentBlock(section);
}

void GeneralSettings::buildAccentBlock(SettingsDetailSection* section)
{
    accentBlock_ = new QWidget;
    accentBlock_->setObjectName(QStringLiteral("accentBlock"));
    auto* layout = new QVBoxLayout(accentBlock_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(SettingsDetailCard::itemSpacing);

    baseColorWell_ = new ColorWell;
    baseColorWell_->setObjectName(QStringLiteral("baseColorWell"));
    connect(baseColorWell_, &ColorWell::colorPicked, this,
            [this](const QColor& color) { settings_.setClipColorAccentHex(hexString(color)); });
    auto* row = new SettingsDetailRow(QString(), baseColorWell_);
    rowTitles_.append({row, "Base color"});
    layout->addWidget(row);

    auto* preview = new QWidget(accentBlock_);
    QHBoxLayout* previewLayout = bareRow(preview, previewSpacing);
    QLabel* previewTitle = plainLabel(preview, font());
    labelTexts_.append({previewTitle, "Preview"});
    secondaryLabels_.append(previewTitle);
    previewLayout->addWidget(previewTitle, 0, Qt::AlignVCenter);
    swatches_ = new AccentShadeSwatches(preview);
    swatches_->setObjectName(QStringLiteral("accentSwatches"));
    previewLayout->addWidget(swatches_, 0, Qt::AlignVCenter);
    previewLayout->addStretch();
    layout->addWidget(preview);

    QLabel* caption = plainLabel(accentBlock_, VelloraTypography::caption());
    caption->setWordWrap(true);
    labelTexts_.append({caption, "Each source app keeps one of ten deterministic shades, so its cards stay "
                                 "recognizable without drifting too far from your chosen color."});
    secondaryLabels_.append(caption);
    layout->addWidget(caption);
    section->addItem(accentBlock_);
}

void GeneralSettings::buildSyncSection()
{
    SettingsDetailSection* section = addSection("Sync");
    syncToggle_ = new SettingsDetailToggle(QString());
    syncToggle_->setObjectName(QStringLiteral("iCloudSync"));
    connect(syncToggle_, &SettingsDetailToggle::toggled, this, &GeneralSettings::syncSwitchFlipped);
    section->addItem(syncToggle_);
    // Its text follows the availability of the synced folder.
    syncCaption_ = addCaption(section);
    syncCaption_->setObjectName(QStringLiteral("syncCaption"));
}

void GeneralSettings::buildDataSection()
{
    SettingsDetailSection* section = addSection("Data");
    addToggle(section, deletePermanentlySwitch);
    addCaption(section, "Skips the five-minute Undo window: deleted clips are removed at once and cannot be "
                        "recovered. Hold Option while deleting to skip Undo for one deletion, whatever this "
                        "setting says.");
    clearHistory_ = new QPushButton(section);
    clearHistory_->setObjectName(QStringLiteral("clearHistory"));
    connect(clearHistory_, &QPushButton::clicked, this, [this] { store_.clearHistory(); });
    auto* row = new QWidget(section);
    bareRow(row, 0)->addWidget(clearHistory_, 0, Qt::AlignLeft);
    section->addItem(row);
}

// Actions

void GeneralSettings::syncSwitchFlipped()
{
    // The switch shows the preference, never the click: the controller decides.
    refreshSync();
    if (toggleSyncedFolder_)
        toggleSyncedFolder_();
    refreshSync();
}

// Reflecting

void GeneralSettings::refreshTexts()
{
    for (const auto& [section, title] : sectionTitles_)
        section->setTitle(localized(title));
    for (const auto& [row, title] : rowTitles_)
        row->setTitle(localized(title));
    for (const auto& [label, text] : labelTexts_)
        label->setText(localized(text));
    for (const auto& [toggle, entry] : toggles_) {
        toggle->setTitle(localized(entry->title));
        toggle->settingsSwitch()->setText(localized(entry->title));
        toggle->settingsSwitch()->setAccessibleName(localized(entry->title));
    }
    const QString syncTitle = Localization::string(QStringLiteral("Sync clipboard via iCloud Drive"));
    syncToggle_->setTitle(syncTitle);
    syncToggle_->settingsSwitch()->setText(syncTitle);
    syncToggle_->settingsSwitch()->setAccessibleName(syncTitle);

    languagePicker_->setAccessibleName(Localization::string(QStringLiteral("Language")));
    languagePicker_->setItemText(0, Localization::string(QStringLiteral("Follow System")));
    for (QComboBox* picker : {quickPastePicker_, plainTextPicker_}) {
        for (int i = 0; i < ShortcutModifiers::allCases().size(); ++i) {
            const ShortcutModifier modifier = ShortcutModifiers::allCases().at(i);
            picker->setItemText(i, ShortcutModifiers::title(modifier));
        }
    }
    for (const ThemeItem& item : themeItems)
        themeGroup_->button(ClipColorThemes::rawValue(item.theme))->setText(localized(item.title));
    themePicker_->setAccessibleName(Localization::string(QStringLiteral("Color theme")));
    baseColorWell_->setAccessibleName(Localization::string(QStringLiteral("Base color")));
    swatches_->setAccessibleName(
        Localization::string(QStringLiteral("Ten stable shades of the selected base color")));
    const QString clear = Localization::string(QStringLiteral("Clear Clipboard History"));
    clearHistory_->setText(clear);
    // The style leaves the label a few pixels from the button's edges; keep the usual padding.
    clearHistory_->setMinimumWidth(clearHistory_->fontMetrics().horizontalAdvance(clear) +
                                   2 * (buttonTextPadding + buttonFrameWidth));
    refreshBarHeight();
    refreshClipColors();
    refreshSync();
}

void GeneralSettings::refreshLanguage()
{
    selectData(languagePicker_, AppLanguages::rawValue(Localization::shared().language()));
}

void GeneralSettings::refreshModifiers()
{
    selectData(quickPastePicker_, settings_.quickPasteModifier());
    selectData(plainTextPicker_, settings_.plainTextModifier());
}

void GeneralSettings::refreshToggles()
{
    for (const auto& [toggle, entry] : toggles_)
        toggle->setOn((settings_.*entry->read)());
}

void GeneralSettings::refreshBarHeight()
{
    const double height = settings_.barHeight();
    barHeightValue_->setText(Localization::format(QStringLiteral("%d pt"), int(height)));
    const QSignalBlocker blocker(barHeightSlider_);
    barHeightSlider_->setValue(qRound((height - barHeightMinimum) / barHeightStep));
}

void GeneralSettings::refreshClipColors()
{
    const ClipColorTheme theme = settings_.clipColorTheme();
    themeGroup_->button(ClipColorThemes::rawValue(theme))->setChecked(true);
    for (const ThemeItem& item : themeItems) {
        if (item.theme == theme)
            themeCaption_->setText(localized(item.description));
    }
    accentBlock_->setVisible(theme == ClipColorTheme::accentShades);
    const QString hex = settings_.clipColorAccentHex();
    baseColorWell_->setColor(accentColor(hex));
    swatches_->setColors(SourceColor::accentShades(hex));
}

void GeneralSettings::refreshSync()
{
    syncToggle_->setOn(settings_.iCloudSync());
    syncCaption_->setText(SyncedFolderText::caption(store_.syncedFolder()));
}

void GeneralSettings::applyColors()
{
    for (QLabel* label : secondaryLabels_)
        setTextColor(label, Theme::chromeTextSecondary());
    // The red of a destructive action, as readable as any text on the button.
    setTextColor(clearHistory_,
                 Theme::withContrast(destructiveColor(), clearHistory_->palette().color(QPalette::Button),
                                     minimumTextContrast));
}
