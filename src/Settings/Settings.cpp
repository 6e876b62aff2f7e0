#include "Settings/Settings.h"

#include "Platform/Defaults.h"
#include "Settings/ShortcutModifier.h"
#include "Util/Localization.h"

#include <QJsonArray>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

namespace Key {
const QString ignoreConcealed = QStringLiteral("ignoreConcealed");
const QString promoteOnPaste = QStringLiteral("promoteOnPaste");
const QString playSound = QStringLiteral("playSound");
const QString playSoundOnCopy = QStringLiteral("playSoundOnCopy");
const QString hideOnClickOutside = QStringLiteral("hideOnClickOutside");
const QString launchAtLogin = QStringLiteral("launchAtLogin");
const QString showMenuBarIcon = QStringLiteral("showMenuBarIcon");
const QString barHeight = QStringLiteral("barHeight");
const QString showBarResizeHandle = QStringLiteral("showBarResizeHandle");
const QString quickPasteModifier = QStringLiteral("quickPasteModifier");
const QString plainTextModifier = QStringLiteral("plainTextModifier");
const QString clipColorTheme = QStringLiteral("clipColorTheme");
const QString clipColorAccentHex = QStringLiteral("clipColorAccentHex");
const QString deletePermanently = QStringLiteral("deletePermanently");
const QString iCloudSync = QStringLiteral("iCloudSync");
const QString ignoredSourceAppBundleIDs = QStringLiteral("ignoredSourceAppBundleIDs");
const QString historyRetentionMode = QStringLiteral("historyRetentionMode");
const QString historyLimit = QStringLiteral("historyLimit");
const QString historyRetentionDays = QStringLiteral("historyRetentionDays");
const QString hotkeyKeyCode = QStringLiteral("hotkeyKeyCode");
const QString hotkeyModifiers = QStringLiteral("hotkeyModifiers");
const QString askAIShortcut = QStringLiteral("askAIShortcut");
const QString browserLinksShortcut = QStringLiteral("browserLinksShortcut");
const QString onboarded = QStringLiteral("onboarded");
const QString historyRetentionUnconfirmed = QStringLiteral("historyRetentionUnconfirmed");
} // namespace Key

constexpr double minimumBarHeight = 300.0;
constexpr double maximumBarHeight = 720.0;
constexpr double defaultBarHeight = 352.0;
constexpr int minimumHistoryLimit = 20;
constexpr int defaultQuickPasteModifier = RivEVShortcut::commandMask;
constexpr int defaultPlainTextModifier = RivEVShortcut::shiftMask;

double sanitizedBarHeight(double height)
{
    if (!std::isfinite(height))
        return defaultBarHeight;
    return std::clamp(height, minimumBarHeight, maximumBarHeight);
}

int sanitizedHistoryLimit(int limit)
{
    return std::max(limit, minimumHistoryLimit);
}

int sanitizedRetentionDays(int days)
{
    return std::max(days, 0);
}

bool isShortcutModifier(int mask)
{
    const QList<ShortcutModifier>& cases = ShortcutModifiers::allCases();
    return std::any_of(cases.begin(), cases.end(),
                       [mask](ShortcutModifier m) { return ShortcutModifiers::carbonValue(m) == mask; });
}

// Sets the field and fires the signal when the value really changes.
template <typename T> bool change(Settings* settings, T& field, const T& value, void (Settings::*changed)())
{
    if (field == value)
        return false;
    field = value;
    emit(settings->*changed)();
    return true;
}

// A stored value of the wrong type, or a number that is not a whole int, reads as the fallback.
int loadInt(const Platform::Defaults& defaults, const QString& key, int fallback)
{
    const std::optional<qint64> value = defaults.intValue(key);
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(*value);
}

int loadModifier(const Platform::Defaults& defaults, const QString& key, int fallback)
{
    const int mask = loadInt(defaults, key, fallback);
    return isShortcutModifier(mask) ? mask : fallback;
}

std::optional<RivEVShortcut> loadShortcut(const Platform::Defaults& defaults, const QString& key)
{
    const QJsonValue value = defaults.value(key);
    if (!value.isObject())
        return std::nullopt;
    return RivEVShortcut::fromJson(value.toObject());
}

// The first candidate that is present and acceptable, else the cleared shortcut.
RivEVShortcut firstValid(std::initializer_list<std::optional<RivEVShortcut>> candidates,
                         const std::function<bool(const RivEVShortcut&)>& isValid)
{
    for (const std::optional<RivEVShortcut>& candidate : candidates) {
        if (candidate && isValid(*candidate))
            return *candidate;
    }
    return RivEVShortcut{};
}

} // namespace

Settings& Settings::shared()
{
    static Settings instance(Platform::defaults());
    return instance;
}

Settings::Settings(Platform::Defaults& defaults, QObject* parent)
    : QObject(parent)
    , defaults_(defaults)
{
    load();
}

// Fills the fields directly, applying the rules of the setters, so that loading runs no
// side effect. It writes only to mark unconfirmed retention values and to correct stored
// shortcuts that are not acceptable.
void Settings::load()
{
    const Platform::Defaults& d = defaults_;
    ignoreConcealed_ = d.boolValue(Key::ignoreConcealed).value_or(ignoreConcealed_);
    promoteOnPaste_ = d.boolValue(Key::promoteOnPaste).value_or(promoteOnPaste_);
    playSound_ = d.boolValue(Key::playSound).value_or(playSound_);
    playSoundOnCopy_ = d.boolValue(Key::playSoundOnCopy).value_or(playSoundOnCopy_);
    hideOnClickOutside_ = d.boolValue(Key::hideOnClickOutside).value_or(hideOnClickOutside_);
    launchAtLogin_ = d.boolValue(Key::launchAtLogin).value_or(launchAtLogin_);
    showMenuBarIcon_ = d.boolValue(Key::showMenuBarIcon).value_or(showMenuBarIcon_);
    barHeight_ = sanitizedBarHeight(d.doubleValue(Key::barHeight).value_or(barHeight_));
    showBarResizeHandle_ = d.boolValue(Key::showBarResizeHandle).value_or(showBarResizeHandle_);

    quickPasteModifier_ = loadModifier(d, Key::quickPasteModifier, defaultQuickPasteModifier);
    plainTextModifier_ = loadModifier(d, Key::plainTextModifier, defaultPlainTextModifier);
    if (quickPasteModifier_ == plainTextModifier_) {
        quickPasteModifier_ = defaultQuickPasteModifier;
        plainTextModifier_ = defaultPlainTextModifier;
    }

    if (const std::optional<qint64> theme = d.intValue(Key::clipColorTheme))
        clipColorTheme_ = ClipColorThemes::fromStored(*theme);
    clipColorAccentHex_ = d.stringValue(Key::clipColorAccentHex).value_or(clipColorAccentHex_);
    deletePermanently_ = d.boolValue(Key::deletePermanently).value_or(deletePermanently_);
    iCloudSync_ = d.boolValue(Key::iCloudSync).value_or(iCloudSync_);
    ignoredSourceAppBundleIDs_ = d.stringListValue(Key::ignoredSourceAppBundleIDs).value_or(QStringList());
    if (const std::optional<QString> mode = d.stringValue(Key::historyRetentionMode))
        historyRetentionMode_ = HistoryRetentionModes::fromStored(*mode);
    historyLimit_ = sanitizedHistoryLimit(loadInt(d, Key::historyLimit, historyLimit_));
    historyRetentionDays_ =
        sanitizedRetentionDays(loadInt(d, Key::historyRetentionDays, historyRetentionDays_));
    loadShortcuts();
    onboarded_ = d.boolValue(Key::onboarded).value_or(onboarded_);

    historyRetentionConfirmed_ =
        !d.unreadableFile() && !d.boolValue(Key::historyRetentionUnconfirmed).value_or(false);
    if (!historyRetentionConfirmed_)
        store(Key::historyRetentionUnconfirmed, true);
}

// Stored shortcuts meet the rules of recorded ones: one that does not falls back to its
// default (or to none when the default clashes) and is stored corrected. A value of the
// wrong type reads as the default, like any other property's.
void Settings::loadShortcuts()
{
    const Platform::Defaults& d = defaults_;
    // Each half is stored only once it differs from its default.
    const RivEVShortcut defaultActivation = activationShortcut();
    const RivEVShortcut storedActivation{loadInt(d, Key::hotkeyKeyCode, defaultActivation.keyCode),
                                         loadInt(d, Key::hotkeyModifiers, defaultActivation.modifiers)};
    const std::optional<RivEVShortcut> storedBrowserLinks = loadShortcut(d, Key::browserLinksShortcut);
    const std::optional<RivEVShortcut> storedAskAI = loadShortcut(d, Key::askAIShortcut);

    const RivEVShortcut activation =
        firstValid({storedActivation, defaultActivation},
                   [](const RivEVShortcut& s) { return s.isAcceptableActivation(); });
    hotkeyKeyCode_ = activation.keyCode;
    hotkeyModifiers_ = activation.modifiers;
    browserLinksShortcut_ =
        firstValid({storedBrowserLinks, browserLinksShortcut_},
                   [&](const RivEVShortcut& s) { return s.isAcceptableShortcut(activation); });
    askAIShortcut_ = firstValid({storedAskAI, askAIShortcut_}, [&](const RivEVShortcut& s) {
        return s.isAcceptableShortcut(activation) &&
               !(s.isSet() && s.matchesIgnoringEnterKind(browserLinksShortcut_));
    });

    if (activation != storedActivation) {
        store(Key::hotkeyKeyCode, hotkeyKeyCode_);
        store(Key::hotkeyModifiers, hotkeyModifiers_);
    }
    if (storedBrowserLinks && *storedBrowserLinks != browserLinksShortcut_)
        store(Key::browserLinksShortcut, browserLinksShortcut_.toJson());
    if (storedAskAI && *storedAskAI != askAIShortcut_)
        store(Key::askAIShortcut, askAIShortcut_.toJson());
}

QString Settings::unreadableFileMessage()
{
    return Localization::string(
        QStringLiteral("Your settings file could not be read. Vellora uses default settings until you "
                       "change them, and keeps your clipboard history as it is until you set its limit."));
}

QString Settings::unreadableFileInformativeText(const QString& keptFile)
{
    return Localization::format(QStringLiteral("The unreadable file was kept as %@."), keptFile);
}

QString Settings::saveFailedMessage()
{
    return Localization::string(QStringLiteral("Your settings could not be saved."));
}

void Settings::confirmHistoryRetention()
{
    if (historyRetentionConfirmed_)
        return;
    historyRetentionConfirmed_ = true;
    defaults_.remove(Key::historyRetentionUnconfirmed);
}

void Settings::store(const QString& key, const QJsonValue& value)
{
    defaults_.setValue(key, value);
}

void Settings::setIgnoreConcealed(bool value)
{
    store(Key::ignoreConcealed, value);
    change(this, ignoreConcealed_, value, &Settings::ignoreConcealedChanged);
}

void Settings::setPromoteOnPaste(bool value)
{
    store(Key::promoteOnPaste, value);
    change(this, promoteOnPaste_, value, &Settings::promoteOnPasteChanged);
}

void Settings::setPlaySound(bool value)
{
    store(Key::playSound, value);
    change(this, playSound_, value, &Settings::playSoundChanged);
}

void Settings::setPlaySoundOnCopy(bool value)
{
    store(Key::playSoundOnCopy, value);
    change(this, playSoundOnCopy_, value, &Settings::playSoundOnCopyChanged);
}

void Settings::setHideOnClickOutside(bool value)
{
    store(Key::hideOnClickOutside, value);
    change(this, hideOnClickOutside_, value, &Settings::hideOnClickOutsideChanged);
}

void Settings::setLaunchAtLogin(bool value)
{
    store(Key::launchAtLogin, value);
    change(this, launchAtLogin_, value, &Settings::launchAtLoginChanged);
    if (hooks_.launchAtLoginChanged)
        hooks_.launchAtLoginChanged(value);
}

void Settings::setShowMenuBarIcon(bool value)
{
    store(Key::showMenuBarIcon, value);
    change(this, showMenuBarIcon_, value, &Settings::showMenuBarIconChanged);
    if (hooks_.menuBarIconVisibilityChanged)
        hooks_.menuBarIconVisibilityChanged(value);
}

void Settings::setBarHeight(double value)
{
    const double height = sanitizedBarHeight(value);
    store(Key::barHeight, height);
    change(this, barHeight_, height, &Settings::barHeightChanged);
}

void Settings::setShowBarResizeHandle(bool value)
{
    store(Key::showBarResizeHandle, value);
    change(this, showBarResizeHandle_, value, &Settings::showBarResizeHandleChanged);
}

void Settings::setQuickPasteModifier(int value)
{
    assignModifier(value, true);
}

void Settings::setPlainTextModifier(int value)
{
    assignModifier(value, false);
}

// Taking the other key's modifier swaps the two, so that they never end up equal. A mask
// that is not one of the offered modifiers is refused.
void Settings::assignModifier(int value, bool quickPaste)
{
    if (!isShortcutModifier(value))
        return;
    int& field = quickPaste ? quickPasteModifier_ : plainTextModifier_;
    int& other = quickPaste ? plainTextModifier_ : quickPasteModifier_;
    const QString& fieldKey = quickPaste ? Key::quickPasteModifier : Key::plainTextModifier;
    const QString& otherKey = quickPaste ? Key::plainTextModifier : Key::quickPasteModifier;
    const bool swaps = value == other && value != field;

    const int previous = field;
    field = value;
    if (swaps) {
        other = previous;
        store(otherKey, other);
    }
    store(fieldKey, field);

    const bool quickChanged = quickPaste ? previous != value : swaps;
    const bool plainChanged = quickPaste ? swaps : previous != value;
    if (quickChanged)
        emit quickPasteModifierChanged();
    if (plainChanged)
        emit plainTextModifierChanged();
}

void Settings::setClipColorTheme(ClipColorTheme value)
{
    store(Key::clipColorTheme, ClipColorThemes::rawValue(value));
    change(this, clipColorTheme_, value, &Settings::clipColorThemeChanged);
}

void Settings::setClipColorAccentHex(const QString& value)
{
    store(Key::clipColorAccentHex, value);
    change(this, clipColorAccentHex_, value, &Settings::clipColorAccentHexChanged);
}

void Settings::setDeletePermanently(bool value)
{
    store(Key::deletePermanently, value);
    change(this, deletePermanently_, value, &Settings::deletePermanentlyChanged);
}

void Settings::setICloudSync(bool value)
{
    store(Key::iCloudSync, value);
    change(this, iCloudSync_, value, &Settings::iCloudSyncChanged);
}

void Settings::setIgnoredSourceAppBundleIDs(const QStringList& value)
{
    store(Key::ignoredSourceAppBundleIDs, QJsonArray::fromStringList(value));
    change(this, ignoredSourceAppBundleIDs_, value, &Settings::ignoredSourceAppBundleIDsChanged);
}

void Settings::setHistoryRetentionMode(HistoryRetentionMode value)
{
    confirmHistoryRetention();
    store(Key::historyRetentionMode, HistoryRetentionModes::rawValue(value));
    change(this, historyRetentionMode_, value, &Settings::historyRetentionModeChanged);
}

void Settings::setHistoryLimit(int value)
{
    confirmHistoryRetention();
    const int limit = sanitizedHistoryLimit(value);
    store(Key::historyLimit, limit);
    change(this, historyLimit_, limit, &Settings::historyLimitChanged);
}

void Settings::setHistoryRetentionDays(int value)
{
    confirmHistoryRetention();
    const int days = sanitizedRetentionDays(value);
    store(Key::historyRetentionDays, days);
    change(this, historyRetentionDays_, days, &Settings::historyRetentionDaysChanged);
}

void Settings::setHotkeyKeyCode(int value)
{
    if (hotkeyKeyCode_ == value)
        return;
    store(Key::hotkeyKeyCode, value);
    change(this, hotkeyKeyCode_, value, &Settings::hotkeyKeyCodeChanged);
    if (!writingActivationPair_)
        reloadClipboardHotKey(activationShortcut());
}

void Settings::setHotkeyModifiers(int value)
{
    if (hotkeyModifiers_ == value)
        return;
    store(Key::hotkeyModifiers, value);
    change(this, hotkeyModifiers_, value, &Settings::hotkeyModifiersChanged);
    if (!writingActivationPair_)
        reloadClipboardHotKey(activationShortcut());
}

void Settings::setAskAIShortcut(const RivEVShortcut& value)
{
    store(Key::askAIShortcut, value.toJson());
    change(this, askAIShortcut_, value, &Settings::askAIShortcutChanged);
}

void Settings::setBrowserLinksShortcutValue(const RivEVShortcut& value)
{
    if (browserLinksShortcut_ == value)
        return;
    store(Key::browserLinksShortcut, value.toJson());
    change(this, browserLinksShortcut_, value, &Settings::browserLinksShortcutChanged);
}

void Settings::setOnboarded(bool value)
{
    store(Key::onboarded, value);
    change(this, onboarded_, value, &Settings::onboardedChanged);
}

void Settings::writeActivationPair(const RivEVShortcut& shortcut)
{
    writingActivationPair_ = true;
    setHotkeyKeyCode(shortcut.keyCode);
    setHotkeyModifiers(shortcut.modifiers);
    writingActivationPair_ = false;
}

bool Settings::reloadClipboardHotKey(const RivEVShortcut& shortcut) const
{
    return !hooks_.reloadClipboardHotKey || hooks_.reloadClipboardHotKey(shortcut);
}

bool Settings::reloadBrowserLinksHotKey(const RivEVShortcut& shortcut) const
{
    return !hooks_.reloadBrowserLinksHotKey || hooks_.reloadBrowserLinksHotKey(shortcut);
}

bool Settings::setActivationShortcut(const RivEVShortcut& shortcut)
{
    if (shortcut.isSet() && shortcut.matchesIgnoringEnterKind(browserLinksShortcut_))
        return false;
    const RivEVShortcut previous = activationShortcut();
    if (shortcut == previous)
        return true;
    writeActivationPair(shortcut);
    if (reloadClipboardHotKey(shortcut))
        return true;
    writeActivationPair(previous);
    reloadClipboardHotKey(previous);
    return false;
}

bool Settings::setBrowserLinksShortcut(const RivEVShortcut& shortcut)
{
    if (shortcut.validationMessage(activationShortcut()))
        return false;
    if (shortcut.isSet() && shortcut.matchesIgnoringEnterKind(askAIShortcut_))
        return false;
    const RivEVShortcut previous = browserLinksShortcut_;
    setBrowserLinksShortcutValue(shortcut);
    if (reloadBrowserLinksHotKey(shortcut))
        return true;
    setBrowserLinksShortcutValue(previous);
    reloadBrowserLinksHotKey(previous);
    return false;
}

void Settings::addIgnoredSourceApp(const QString& bundleID)
{
    if (ignoredSourceAppBundleIDs_.contains(bundleID))
        return;
    QStringList list = ignoredSourceAppBundleIDs_;
    list.append(bundleID);
    std::sort(list.begin(), list.end());
    setIgnoredSourceAppBundleIDs(list);
}

void Settings::removeIgnoredSourceApp(const QString& bundleID)
{
    QStringList list = ignoredSourceAppBundleIDs_;
    list.removeAll(bundleID);
    setIgnoredSourceAppBundleIDs(list);
}
