#include "AppControllerFixture.h"

#include "UI/AI/ConversationWindowController.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace {

// One menu row: its text ("-" for a plain separator, "[title]" for a section) and whether
// it is enabled.
QStringList rows(const QMenu& menu)
{
    QStringList list;
    for (const QAction* action : menu.actions()) {
        QString row = action->isSeparator()
                          ? (action->text().isEmpty() ? QStringLiteral("-") : u'[' + action->text() + u']')
                          : action->text();
        if (!action->isEnabled())
            row += QStringLiteral(" (disabled)");
        list.append(row);
    }
    return list;
}

// The status item's menu, once it is filled after the icon showed.
QMenu* filledMenu(const AppController& controller)
{
    QMenu* menu = controller.statusItem()->contextMenu();
    return QTest::qWaitFor([menu] { return !menu->isEmpty(); }) ? menu : nullptr;
}

QAction* actionNamed(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

struct LanguageCase {
    AppLanguage language;
    const char* open;
    const char* settings;
    const char* updates;
    const char* conversations;
    const char* conversation;
    const char* pause;
    const char* resume;
    const char* quit;
};

const LanguageCase languageCases[] = {
    {AppLanguage::english, "Open Vellora", "Settings…", "Check for Updates", "AI Conversations",
     "Conversation 1", "Pause Capture", "Resume Capture", "Quit Vellora"},
    {AppLanguage::chinese, "打开 Vellora", "设置…", "检查更新", "AI 对话", "对话 1", "暂停记录", "继续记录",
     "退出 Vellora"},
    {AppLanguage::traditionalChinese, "打開 Vellora", "設定…", "檢查更新", "AI 對話", "對話 1", "暫停記錄",
     "繼續記錄", "結束 Vellora"},
    {AppLanguage::japanese, "Vellora を開く", "設定…", "アップデートを確認", "AI 会話", "会話 1",
     "記録を一時停止", "記録を再開", "Vellora を終了"},
};

class StatusMenuTest : public AppControllerTest {
protected:
    void TearDown() override
    {
        Localization::shared().setLanguage(AppLanguage::english);
        AppControllerTest::TearDown();
    }
};

TEST_F(StatusMenuTest, listsItsItemsInEachLanguage)
{
    controller->applicationDidFinishLaunching({});
    ClipItem text = textClip(QStringLiteral("Ask about this"));
    askAI({text});
    ASSERT_EQ(controller->conversationWindows().size(), 1);

    for (const LanguageCase& c : languageCases) {
        Localization::shared().setLanguage(c.language);
        const QString open = QString::fromUtf8(c.open) + QStringLiteral("\tCtrl+Shift+V");
        QStringList expected = {open,
                                QString::fromUtf8(c.settings),
                                QString::fromUtf8(c.updates) + QStringLiteral(" (disabled)"),
                                u'[' + QString::fromUtf8(c.conversations) + u']',
                                QString::fromUtf8(c.conversation),
                                QStringLiteral("-"),
                                QString::fromUtf8(c.pause),
                                QStringLiteral("-"),
                                QString::fromUtf8(c.quit)};
        ASSERT_NE(controller->statusItem(), nullptr);
        EXPECT_EQ(rows(*controller->statusItem()->contextMenu()), expected)
            << "rebuilt on the language change";

        actionNamed(*controller->statusItem()->contextMenu(), QString::fromUtf8(c.pause))->trigger();
        QCoreApplication::processEvents();
        EXPECT_TRUE(controller->monitor().isPaused());
        expected[6] = QString::fromUtf8(c.resume);
        EXPECT_EQ(rows(*controller->statusItem()->contextMenu()), expected);
        actionNamed(*controller->statusItem()->contextMenu(), QString::fromUtf8(c.resume))->trigger();
        QCoreApplication::processEvents();
        EXPECT_FALSE(controller->monitor().isPaused());
    }
}

TEST_F(StatusMenuTest, isCompleteWhenOpenedBeforeItIsFilled)
{
    Localization::shared().setLanguage(AppLanguage::japanese);
    controller->applicationDidFinishLaunching({});
    QMenu* menu = controller->statusItem()->contextMenu();
    ASSERT_TRUE(menu->isEmpty()) << "filled once the icon has shown";
    menu->popup({});
    const LanguageCase& japanese = languageCases[3];
    EXPECT_EQ(rows(*menu), QStringList({QString::fromUtf8(japanese.open) + QStringLiteral("\tCtrl+Shift+V"),
                                        QString::fromUtf8(japanese.settings),
                                        QString::fromUtf8(japanese.updates) + QStringLiteral(" (disabled)"),
                                        QStringLiteral("-"), QString::fromUtf8(japanese.pause),
                                        QStringLiteral("-"), QString::fromUtf8(japanese.quit)}));
    menu->hide();
}

TEST_F(StatusMenuTest, listsOnlyOpenConversationsAndBringsOneToTheFront)
{
    controller->applicationDidFinishLaunching({});
    QMenu* menu = filledMenu(*controller);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(rows(*menu).contains(QStringLiteral("[AI Conversations]")))
        << "no section without conversations";

    askAI({textClip(QStringLiteral("first"))});
    askAI({textClip(QStringLiteral("second"))});
    QList<ConversationWindowController*> windows = controller->conversationWindows();
    ASSERT_EQ(windows.size(), 2);
    windows.first()->close();
    EXPECT_EQ(controller->conversationWindows().size(), 1);
    EXPECT_FALSE(rows(*menu).contains(QStringLiteral("Conversation 1")));
    ASSERT_TRUE(rows(*menu).contains(QStringLiteral("Conversation 2")));

    ConversationWindowController* second = controller->conversationWindows().first();
    second->window()->hide();
    actionNamed(*menu, QStringLiteral("Conversation 2"))->trigger();
    EXPECT_TRUE(second->window()->isVisible()) << "a hidden window comes back through the menu";

    second->close();
    EXPECT_FALSE(rows(*menu).contains(QStringLiteral("[AI Conversations]")));
    askAI({textClip(QStringLiteral("third"))});
    EXPECT_TRUE(rows(*menu).contains(QStringLiteral("Conversation 3"))) << "numbers are not reused";
}

TEST_F(StatusMenuTest, theOpenItemNamesTheCurrentHotKeyAndOpensTheBar)
{
    controller->applicationDidFinishLaunching({});
    QMenu* menu = filledMenu(*controller);
    ASSERT_NE(menu, nullptr);
    Settings::shared().setActivationShortcut({-1, 0});
    EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Open Vellora"))
        << "no shortcut text without a hot key";
    Settings::shared().setActivationShortcut({hotKeyCode, 0x1000 | 0x800});
    EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Open Vellora\tAlt+Super+V"));

    menu->actions().first()->trigger();
    ASSERT_NE(controller->barController(), nullptr);
    EXPECT_TRUE(controller->barController()->phase().isVisible());
}

} // namespace

TEST_F(StatusMenuTest, checkForUpdatesFollowsTheUpdaterAndRunsItsCheck)
{
    bool canCheck = false;
    int checks = 0;
    controller->hooks().canCheckForUpdates = [&] { return canCheck; };
    controller->hooks().checkForUpdates = [&] { ++checks; };
    controller->applicationDidFinishLaunching({});
    QMenu* menu = filledMenu(*controller);
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(actionNamed(*menu, QStringLiteral("Check for Updates"))->isEnabled());

    canCheck = true;
    controller->rebuildStatusMenu();
    QAction* check = actionNamed(*menu, QStringLiteral("Check for Updates"));
    ASSERT_TRUE(check->isEnabled());
    check->trigger();
    EXPECT_EQ(checks, 1);
}
