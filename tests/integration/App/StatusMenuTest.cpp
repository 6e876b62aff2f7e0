#include "AppController.h"
#include "Settings/Settings.h"
#include "Util/Localization.h"

#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The last item of the menu, once it is filled after the icon showed.
QString lastItem(const QSystemTrayIcon* item)
{
    if (!item || !item->contextMenu())
        return {};
    const QMenu& menu = *item->contextMenu();
    if (!QTest::qWaitFor([&menu] { return !menu.isEmpty(); }))
        return {};
    return menu.actions().last()->text();
}

// The controller in this process, over the in-memory preferences of the test executable.
TEST(StatusMenu, followsThePreferenceAndTheLanguage)
{
    AppController& controller = AppController::shared();
    Settings& settings = Settings::shared();
    settings.setShowMenuBarIcon(true);
    settings.setOnboarded(false);
    Localization::shared().setLanguage(AppLanguage::english);

    controller.applicationDidFinishLaunching({});
    ASSERT_NE(controller.statusItem(), nullptr);
    EXPECT_TRUE(controller.statusItem()->isVisible());
    EXPECT_FALSE(controller.statusItem()->icon().isNull());
    EXPECT_EQ(lastItem(controller.statusItem()), "Quit Vellora");
    EXPECT_TRUE(settings.onboarded());

    const struct {
        AppLanguage language;
        const char* quit;
    } languages[] = {
        {AppLanguage::chinese, "退出 Vellora"},
        {AppLanguage::traditionalChinese, "結束 Vellora"},
        {AppLanguage::japanese, "Vellora を終了"},
        {AppLanguage::english, "Quit Vellora"},
    };
    for (const auto& l : languages) {
        Localization::shared().setLanguage(l.language);
        EXPECT_EQ(lastItem(controller.statusItem()), QString::fromUtf8(l.quit));
        QMenu* menu = controller.statusItem()->contextMenu();
        const qsizetype rows = menu->actions().size();
        controller.rebuildStatusMenu();
        ASSERT_EQ(menu->actions().size(), rows) << "the menu is rebuilt, not appended to";
        EXPECT_EQ(menu->actions().last()->text(), QString::fromUtf8(l.quit));
    }

    QSignalSpy changes(&controller, &AppController::statusItemChanged);
    settings.setShowMenuBarIcon(false);
    EXPECT_EQ(controller.statusItem(), nullptr);
    settings.setShowMenuBarIcon(false);
    controller.setMenuBarIconVisible(false);
    EXPECT_EQ(changes.size(), 1) << "removing a missing item changes nothing";
    settings.setShowMenuBarIcon(true);
    ASSERT_NE(controller.statusItem(), nullptr);
    EXPECT_EQ(lastItem(controller.statusItem()), "Quit Vellora");
    EXPECT_EQ(changes.size(), 2);

    controller.applicationWillTerminate();
    EXPECT_EQ(controller.statusItem(), nullptr);
}

} // namespace
