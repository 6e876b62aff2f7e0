#pragma once

#include "ui/Bar/ControlledBrowserReader.h"

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeCloudDrive.h"
#include "fakes/FakeDesktopAppearance.h"
#include "fakes/FakeHotKeys.h"
#include "fakes/FakeKeyEvents.h"
#include "fakes/FakeLoginItem.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeSystemSound.h"
#include "fakes/FakeWorkspace.h"

#include "AppController.h"
#include "Hotkey/HotKeyCenter.h"
#include "Platform/Accessibility.h"
#include "Platform/Defaults.h"
#include "Platform/DesktopAppearance.h"
#include "Platform/HotKeys.h"
#include "Platform/KeyEvents.h"
#include "Platform/LoginItem.h"
#include "Platform/Pasteboard.h"
#include "Platform/SystemSound.h"
#include "Platform/Workspace.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/PastePermissionGuide.h"
#include "UI/Settings/SettingsWindowController.h"
#include "Util/Localization.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// A toast as the controller asked for it.
struct ToastRecord {
    QString message;
    QString symbolName;
    double seconds = 0;
    bool operator==(const ToastRecord&) const = default;
};

inline void PrintTo(const ToastRecord& toast, std::ostream* out)
{
    *out << '"' << toast.message.toStdString() << "\" " << toast.symbolName.toStdString() << ' '
         << toast.seconds;
}

// An application controller over a store in a temporary folder, the shared preferences (in
// memory), and fakes for the desktop: clipboard, windows, hot keys, key events, login item.
class AppControllerTest : public ::testing::Test {
protected:
    static constexpr int hotKeyCode = 9;        // V
    static constexpr int hotKeyModifiers = 768; // Command + Shift
    static constexpr int waitMs = 5000;

    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        Platform::setDesktopAppearanceForTesting(&desktopAppearance());
        Platform::setPasteboardForTesting(&pasteboard);
        Platform::setWorkspaceForTesting(&workspace);
        Platform::setAccessibilityForTesting(&accessibility);
        Platform::setKeyEventsForTesting(&keyEvents);
        Platform::setLoginItemForTesting(&loginItem);
        Platform::setSystemSoundForTesting(&sound);
        Platform::defaults().remove(PastePermissionGuide::versionKey);
        Localization::shared().setLanguage(AppLanguage::english);
        Settings& settings = Settings::shared();
        settings.setShowMenuBarIcon(true);
        settings.setLaunchAtLogin(false);
        settings.setICloudSync(false);
        settings.setPromoteOnPaste(false);
        settings.setHideOnClickOutside(true);
        settings.setActivationShortcut({hotKeyCode, hotKeyModifiers});

        cloud.path = temp.filePath(QStringLiteral("cloud"));
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = temp.filePath(QStringLiteral("data"));
        environment.cloudDrive = &cloud;
        store = std::make_unique<ClipboardStore>(environment);
        store->load();
        hotKeyCenter = std::make_unique<HotKeyCenter>(hotKeys, settings);
        controller = std::make_unique<AppController>(AppController::Services{
            *store,
            settings,
            *hotKeyCenter,
            [this](const QString& message, const QString& symbol, double seconds) {
                toasts.append({message, symbol, seconds});
            },
            [this](const AppController::Alert& alert) { alerts.append(alert); },
            shelf,
        });
    }

    void TearDown() override
    {
        controller.reset();
        Settings::shared().hooks() = {};
        hotKeyCenter.reset();
        store.reset();
        Platform::defaults().remove(PastePermissionGuide::versionKey);
        Platform::setPasteboardForTesting(nullptr);
        Platform::setWorkspaceForTesting(nullptr);
        Platform::setAccessibilityForTesting(nullptr);
        Platform::setKeyEventsForTesting(nullptr);
        Platform::setLoginItemForTesting(nullptr);
        Platform::setSystemSoundForTesting(nullptr);
    }

    // Appearance::shared() keeps the desktop it was first made with: one for the process.
    static FakeDesktopAppearance& desktopAppearance()
    {
        static FakeDesktopAppearance appearance;
        return appearance;
    }

    static Platform::RunningApplication application(qint64 pid,
                                                    const QString& id = QStringLiteral("org.example.Editor"))
    {
        Platform::RunningApplication app;
        app.bundleIdentifier = id;
        app.localizedName = QStringLiteral("Editor");
        app.processIdentifier = pid;
        app.windowIdentifier = quint64(pid) * 16;
        return app;
    }

    // An application that runs and is in front.
    Platform::RunningApplication frontApplication(qint64 pid = 4242)
    {
        const Platform::RunningApplication app = application(pid);
        workspace.running.append(app);
        workspace.frontmost = app;
        return app;
    }

    static ClipItem textClip(const QString& text)
    {
        ClipItem item;
        item.type = ClipType::text;
        item.text = text;
        return item;
    }

    BarPhaseKind barPhase() const
    {
        return controller->barController() ? controller->barController()->phase().kind : BarPhaseKind::hidden;
    }

    bool waitForPhase(BarPhaseKind kind) const
    {
        return QTest::qWaitFor([&] { return barPhase() == kind; }, waitMs);
    }

    // Ask AI on the clips, as the bar sends them (it shows the bar when hidden).
    void askAI(const QList<ClipItem>& items)
    {
        if (barPhase() == BarPhaseKind::hidden)
            controller->showBar();
        emit controller->barController()->askAIRequested(items);
    }

    // The settings windows that exist, known by their pane buttons.
    static QList<QWidget*> settingsWindows()
    {
        QList<QWidget*> windows;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->findChild<QToolButton*>(SettingsWindowController::identifier(SettingsTab::general)))
                windows.append(window);
        }
        return windows;
    }

    // The one settings window, or null.
    static QWidget* settingsWindow()
    {
        const QList<QWidget*> windows = settingsWindows();
        return windows.size() == 1 ? windows.first() : nullptr;
    }

    // The pane button that is checked in the settings window, or null.
    static QToolButton* shownPaneButton(const QWidget& window)
    {
        for (SettingsTab tab : SettingsTabs::allCases()) {
            auto* button = window.findChild<QToolButton*>(SettingsWindowController::identifier(tab));
            if (button && button->isChecked())
                return button;
        }
        return nullptr;
    }

    // A press of the clipboard hot key, run through the hot-key centre's queue.
    void pressHotKey()
    {
        ASSERT_TRUE(hotKeys.press(hotKeyCode, hotKeyModifiers)) << "the hot key is registered";
        QCoreApplication::processEvents();
    }

    QTemporaryDir temp;
    FakeCloudDrive cloud;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeAccessibility accessibility;
    FakeKeyEvents keyEvents;
    FakeLoginItem loginItem;
    FakeSystemSound sound;
    FakeHotKeys hotKeys;
    ControlledBrowserReader browsers;
    BrowserShelfModel shelf{browsers.reader()};
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<HotKeyCenter> hotKeyCenter;
    std::unique_ptr<AppController> controller;
    QList<ToastRecord> toasts;
    QList<AppController::Alert> alerts;
};
