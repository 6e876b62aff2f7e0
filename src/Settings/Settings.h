#pragma once

#include "Platform/ModifierMask.h"
#include "Settings/HistoryRetentionMode.h"
#include "Util/ClipColorTheme.h"
#include "Util/RivEVShortcut.h"

#include <QJsonValue>
#include <QObject>
#include <QStringList>
#include <functional>

namespace Platform {
class Defaults;
}

// The single preferences object. Each property is stored in the user-defaults store under
// its own name once the preferences are loaded; its signal fires only on a real change.
// Every assignment is stored, also of an unchanged value, except hotkeyKeyCode,
// hotkeyModifiers and browserLinksShortcut, which are stored only when they change. Values
// are sanitised the same way when assigned and when loaded; a stored value of the wrong
// type reads as that property's default.
class Settings final : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        bool ignoreConcealed READ ignoreConcealed WRITE setIgnoreConcealed NOTIFY ignoreConcealedChanged)
    Q_PROPERTY(bool promoteOnPaste READ promoteOnPaste WRITE setPromoteOnPaste NOTIFY promoteOnPasteChanged)
    Q_PROPERTY(bool playSound READ playSound WRITE setPlaySound NOTIFY playSoundChanged)
    Q_PROPERTY(
        bool playSoundOnCopy READ playSoundOnCopy WRITE setPlaySoundOnCopy NOTIFY playSoundOnCopyChanged)
    Q_PROPERTY(bool hideOnClickOutside READ hideOnClickOutside WRITE setHideOnClickOutside NOTIFY
                   hideOnClickOutsideChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(
        bool showMenuBarIcon READ showMenuBarIcon WRITE setShowMenuBarIcon NOTIFY showMenuBarIconChanged)
    Q_PROPERTY(double barHeight READ barHeight WRITE setBarHeight NOTIFY barHeightChanged)
    Q_PROPERTY(bool showBarResizeHandle READ showBarResizeHandle WRITE setShowBarResizeHandle NOTIFY
                   showBarResizeHandleChanged)
    Q_PROPERTY(int quickPasteModifier READ quickPasteModifier WRITE setQuickPasteModifier NOTIFY
                   quickPasteModifierChanged)
    Q_PROPERTY(int plainTextModifier READ plainTextModifier WRITE setPlainTextModifier NOTIFY
                   plainTextModifierChanged)
    Q_PROPERTY(ClipColorTheme clipColorTheme READ clipColorTheme WRITE setClipColorTheme NOTIFY
                   clipColorThemeChanged)
    Q_PROPERTY(QString clipColorAccentHex READ clipColorAccentHex WRITE setClipColorAccentHex NOTIFY
                   clipColorAccentHexChanged)
    Q_PROPERTY(bool deletePermanently READ deletePermanently WRITE setDeletePermanently NOTIFY
                   deletePermanentlyChanged)
    Q_PROPERTY(bool iCloudSync READ iCloudSync WRITE setICloudSync NOTIFY iCloudSyncChanged)
    Q_PROPERTY(QStringList ignoredSourceAppBundleIDs READ ignoredSourceAppBundleIDs WRITE
                   setIgnoredSourceAppBundleIDs NOTIFY ignoredSourceAppBundleIDsChanged)
    Q_PROPERTY(HistoryRetentionMode historyRetentionMode READ historyRetentionMode WRITE
                   setHistoryRetentionMode NOTIFY historyRetentionModeChanged)
    Q_PROPERTY(int historyLimit READ historyLimit WRITE setHistoryLimit NOTIFY historyLimitChanged)
    Q_PROPERTY(int historyRetentionDays READ historyRetentionDays WRITE setHistoryRetentionDays NOTIFY
                   historyRetentionDaysChanged)
    Q_PROPERTY(int hotkeyKeyCode READ hotkeyKeyCode WRITE setHotkeyKeyCode NOTIFY hotkeyKeyCodeChanged)
    Q_PROPERTY(
        int hotkeyModifiers READ hotkeyModifiers WRITE setHotkeyModifiers NOTIFY hotkeyModifiersChanged)
    Q_PROPERTY(bool onboarded READ onboarded WRITE setOnboarded NOTIFY onboardedChanged)

public:
    // Side effects that reach other parts of the application, connected by their owners.
    // Until connected they do nothing and the hot-key reloads report success.
    struct Hooks {
        std::function<bool(const RivEVShortcut&)> reloadClipboardHotKey;
        std::function<bool(const RivEVShortcut&)> reloadBrowserLinksHotKey;
        std::function<void(bool enabled)> launchAtLoginChanged;
        std::function<void(bool visible)> menuBarIconVisibilityChanged;
        // While a shortcut recorder records, the global hot keys let their keys through.
        std::function<void(bool suspended)> hotKeysSuspended;
    };

    static Settings& shared();

    // Loads every property from the store; writes persist only after loading.
    explicit Settings(Platform::Defaults& defaults, QObject* parent = nullptr);

    Hooks& hooks() { return hooks_; }

    bool ignoreConcealed() const { return ignoreConcealed_; }
    bool promoteOnPaste() const { return promoteOnPaste_; }
    bool playSound() const { return playSound_; }
    bool playSoundOnCopy() const { return playSoundOnCopy_; }
    bool hideOnClickOutside() const { return hideOnClickOutside_; }
    bool launchAtLogin() const { return launchAtLogin_; }
    bool showMenuBarIcon() const { return showMenuBarIcon_; }
    double barHeight() const { return barHeight_; }
    bool showBarResizeHandle() const { return showBarResizeHandle_; }
    int quickPasteModifier() const { return quickPasteModifier_; }
    int plainTextModifier() const { return plainTextModifier_; }
    ClipColorTheme clipColorTheme() const { return clipColorTheme_; }
    QString clipColorAccentHex() const { return clipColorAccentHex_; }
    bool deletePermanently() const { return deletePermanently_; }
    bool iCloudSync() const { return iCloudSync_; }
    QStringList ignoredSourceAppBundleIDs() const { return ignoredSourceAppBundleIDs_; }
    HistoryRetentionMode historyRetentionMode() const { return historyRetentionMode_; }
    int historyLimit() const { return historyLimit_; }
    int historyRetentionDays() const { return historyRetentionDays_; }
    int hotkeyKeyCode() const { return hotkeyKeyCode_; }
    int hotkeyModifiers() const { return hotkeyModifiers_; }
    RivEVShortcut activationShortcut() const { return {hotkeyKeyCode_, hotkeyModifiers_}; }
    RivEVShortcut askAIShortcut() const { return askAIShortcut_; }
    RivEVShortcut browserLinksShortcut() const { return browserLinksShortcut_; }
    bool onboarded() const { return onboarded_; }
    // False while the three retention values are defaults that stand in for a preferences
    // file that could not be read: the history is not trimmed by them until the user
    // assigns one, also across launches. True otherwise.
    bool historyRetentionConfirmed() const { return historyRetentionConfirmed_; }

    // What the user is told once when the preferences file could not be read, and the
    // informative text that names where its bytes are kept.
    static QString unreadableFileMessage();
    static QString unreadableFileInformativeText(const QString& keptFile);
    // What the user is told when the preferences could not be saved.
    static QString saveFailedMessage();

    void setIgnoreConcealed(bool value);
    void setPromoteOnPaste(bool value);
    void setPlaySound(bool value);
    void setPlaySoundOnCopy(bool value);
    void setHideOnClickOutside(bool value);
    // Each assignment also runs its hook (login item, status item) with the new value.
    void setLaunchAtLogin(bool value);
    void setShowMenuBarIcon(bool value);
    void setBarHeight(double value);
    void setShowBarResizeHandle(bool value);
    // A mask other than one ShortcutModifier is refused. Taking the other key's modifier
    // swaps the two.
    void setQuickPasteModifier(int value);
    void setPlainTextModifier(int value);
    void setClipColorTheme(ClipColorTheme value);
    void setClipColorAccentHex(const QString& value);
    void setDeletePermanently(bool value);
    void setICloudSync(bool value);
    void setIgnoredSourceAppBundleIDs(const QStringList& value);
    void setHistoryRetentionMode(HistoryRetentionMode value);
    void setHistoryLimit(int value);
    void setHistoryRetentionDays(int value);
    // A change re-registers the clipboard hot key at once.
    void setHotkeyKeyCode(int value);
    void setHotkeyModifiers(int value);
    void setAskAIShortcut(const RivEVShortcut& value);
    // Stores the value as it is, without validation or hot-key reload; the settings page
    // goes through setBrowserLinksShortcut().
    void setBrowserLinksShortcutValue(const RivEVShortcut& value);
    void setOnboarded(bool value);

    bool setActivationShortcut(const RivEVShortcut& shortcut);
    bool setBrowserLinksShortcut(const RivEVShortcut& shortcut);
    void addIgnoredSourceApp(const QString& bundleID);
    void removeIgnoredSourceApp(const QString& bundleID);

signals:
    void ignoreConcealedChanged();
    void promoteOnPasteChanged();
    void playSoundChanged();
    void playSoundOnCopyChanged();
    void hideOnClickOutsideChanged();
    void launchAtLoginChanged();
    void showMenuBarIconChanged();
    void barHeightChanged();
    void showBarResizeHandleChanged();
    void quickPasteModifierChanged();
    void plainTextModifierChanged();
    void clipColorThemeChanged();
    void clipColorAccentHexChanged();
    void deletePermanentlyChanged();
    void iCloudSyncChanged();
    void ignoredSourceAppBundleIDsChanged();
    void historyRetentionModeChanged();
    void historyLimitChanged();
    void historyRetentionDaysChanged();
    void hotkeyKeyCodeChanged();
    void hotkeyModifiersChanged();
    void askAIShortcutChanged();
    void browserLinksShortcutChanged();
    void onboardedChanged();

private:
    void load();
    void store(const QString& key, const QJsonValue& value);
    void assignModifier(int value, bool quickPaste);
    void writeActivationPair(const RivEVShortcut& shortcut);
    void confirmHistoryRetention();
    void loadShortcuts();
    bool reloadClipboardHotKey(const RivEVShortcut& shortcut) const;
    bool reloadBrowserLinksHotKey(const RivEVShortcut& shortcut) const;

    Platform::Defaults& defaults_;
    Hooks hooks_;
    // Set while setActivationShortcut() writes the pair, so that the two writes don't each
    // re-register the clipboard hot key.
    bool writingActivationPair_ = false;

    bool ignoreConcealed_ = true;
    bool promoteOnPaste_ = false;
    bool playSound_ = false;
    bool playSoundOnCopy_ = false;
    bool hideOnClickOutside_ = true;
    bool launchAtLogin_ = false;
    bool showMenuBarIcon_ = true;
    double barHeight_ = 352.0;
    bool showBarResizeHandle_ = false;
    int quickPasteModifier_ = Platform::ModifierMask::command;
    int plainTextModifier_ = Platform::ModifierMask::shift;
    ClipColorTheme clipColorTheme_ = ClipColorTheme::defaultTheme;
    QString clipColorAccentHex_ = QStringLiteral("#FF5A9F");
    bool deletePermanently_ = false;
    bool iCloudSync_ = false;
    QStringList ignoredSourceAppBundleIDs_;
    HistoryRetentionMode historyRetentionMode_ = HistoryRetentionMode::itemCount;
    int historyLimit_ = 500;
    int historyRetentionDays_ = 30;
    int hotkeyKeyCode_ = 9;
    int hotkeyModifiers_ = Platform::ModifierMask::command | Platform::ModifierMask::shift;
    RivEVShortcut askAIShortcut_{36, Platform::ModifierMask::command};
    RivEVShortcut browserLinksShortcut_{37, Platform::ModifierMask::control | Platform::ModifierMask::option |
                                                Platform::ModifierMask::command};
    bool onboarded_ = false;
    bool historyRetentionConfirmed_ = true;
};
