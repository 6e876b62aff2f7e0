#include "SettingsWindowFixture.h"

#include "UI/Appearance.h"
#include "Util/Localization.h"

#include <QStringList>

namespace {

class SettingsWindowChromeTest : public SettingsWindowTest {
protected:
    void TearDown() override
    {
        Localization::shared().setLanguage(AppLanguage::english);
        SettingsWindowTest::TearDown();
    }

    // Button texts, tooltips and accessible names in toolbar order.
    QStringList paneTexts(QString (QAbstractButton::*text)() const) const
    {
        QStringList texts;
        for (SettingsTab tab : SettingsTabs::allCases())
            texts << (button(tab)->*text)();
        return texts;
    }
};

TEST_F(SettingsWindowChromeTest, LanguageChangeRetitlesTheWindowAndEveryPane)
{
    const struct {
        AppLanguage language;
        SettingsTab tab;
        const char* title;
        QStringList labels;
    } cases[] = {
        {AppLanguage::japanese,
         SettingsTab::privacy,
         "プライバシー",
         {"一般", "モデル", "アップデート", "プライバシー", "情報"}},
        {AppLanguage::chinese, SettingsTab::privacy, "隐私", {"通用", "模型", "更新", "隐私", "关于"}},
        {AppLanguage::traditionalChinese,
         SettingsTab::about,
         "關於",
         {"一般", "模型", "更新", "隱私", "關於"}},
        {AppLanguage::english,
         SettingsTab::about,
         "About",
         {"General", "Model", "Updates", "Privacy", "About"}},
    };
    for (const auto& c : cases) {
        controller->present(c.tab);
        // The controller follows the language notification by itself.
        Localization::shared().setLanguage(c.language);
        EXPECT_EQ(controller->window()->windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(paneTexts(&QAbstractButton::text), c.labels);
        EXPECT_EQ(paneTexts(&QAbstractButton::toolTip), c.labels);
        EXPECT_EQ(paneTexts(&QWidget::accessibleName), c.labels);
        EXPECT_EQ(checkedPanes(), std::vector<SettingsTab>{c.tab});
    }
}

TEST_F(SettingsWindowChromeTest, FixedSizeTitledClosableWindow)
{
    SettingsPanel* window = controller->window();
    controller->present(SettingsTab::general);
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    EXPECT_EQ(window->width(), 600);
    const auto* view = window->findChild<SettingsView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->size(), QSize(600, 520));
    EXPECT_EQ(window->height(),
              520 + window->findChild<QWidget*>(QStringLiteral("Vellora.Settings"))->height());

    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose));
    window->close();
    controller->present(std::nullopt);
    EXPECT_EQ(window, controller->window()) << "the one window is kept after closing";
}

TEST_F(SettingsWindowChromeTest, PaneButtonsSitCentredInOrderWithTheirSymbols)
{
    controller->present(SettingsTab::general);
    const QWidget* toolbar = controller->window()->findChild<QWidget*>(QStringLiteral("Vellora.Settings"));
    ASSERT_NE(toolbar, nullptr);
    int previousRight = -1;
    for (SettingsTab tab : SettingsTabs::allCases()) {
        const QToolButton* b = button(tab);
        ASSERT_NE(b, nullptr);
        EXPECT_GT(b->x(), previousRight) << SettingsTabs::rawValue(tab).toStdString();
        previousRight = b->geometry().right();
        EXPECT_TRUE(b->isCheckable());
        EXPECT_FALSE(b->icon().isNull());
        EXPECT_EQ(b->iconSize(), QSize(22, 22));
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }
    const int left = button(SettingsTab::general)->x();
    const int right = toolbar->width() - 1 - button(SettingsTab::about)->geometry().right();
    EXPECT_LE(std::abs(left - right), 1) << "left " << left << " right " << right;
}

TEST_F(SettingsWindowChromeTest, BackgroundFollowsTheAppearance)
{
    const AppearanceMode before = Appearance::shared().mode();
    const struct {
        AppearanceMode mode;
        QColor background;
    } cases[] = {{AppearanceMode::dark, QColor(0x1B, 0x1E, 0x24)},
                 {AppearanceMode::light, QColor(0xFA, 0xFB, 0xFC)}};
    for (const auto& c : cases) {
        Appearance::shared().applyForThisRun(c.mode);
        EXPECT_EQ(controller->window()->palette().color(QPalette::Window), c.background);
        EXPECT_TRUE(controller->window()->autoFillBackground());
        const QImage view = controller->window()->findChild<SettingsView*>()->grab().toImage();
        EXPECT_EQ(view.pixelColor(2, 200), c.background) << "the content's padding";
    }
    Appearance::shared().applyForThisRun(before);
}

} // namespace
