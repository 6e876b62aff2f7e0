#include "SettingsWindowFixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

struct StepCase {
    SettingsTab from;
    Qt::KeyboardModifiers modifiers;
    SettingsTab to;
    const char* title;
};

class SettingsWindowStepTest : public SettingsWindowTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(SettingsWindowStepTest, CtrlTabStepsWithWrapAroundAndTheChromeFollows)
{
    const StepCase& c = GetParam();
    controller->present(c.from);
    created.clear();
    QTest::keyClick(controller->window(), Qt::Key_Tab, c.modifiers);

    EXPECT_EQ(controller->tab(), c.to);
    EXPECT_EQ(navigation.tab(), c.to);
    EXPECT_EQ(controller->window()->windowTitle(), QString::fromUtf8(c.title));
    EXPECT_EQ(checkedPanes(), std::vector<SettingsTab>{c.to});
    EXPECT_EQ(created, std::vector<SettingsTab>{c.to});
}

constexpr Qt::KeyboardModifiers forward = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers backward = Qt::ControlModifier | Qt::ShiftModifier;

INSTANTIATE_TEST_SUITE_P(
    Steps, SettingsWindowStepTest,
    ::testing::Values(StepCase{SettingsTab::about, forward, SettingsTab::general, "General"},
                      StepCase{SettingsTab::general, backward, SettingsTab::about, "About"},
                      StepCase{SettingsTab::general, forward, SettingsTab::model, "Model"},
                      StepCase{SettingsTab::privacy, forward, SettingsTab::about, "About"},
                      StepCase{SettingsTab::updates, backward, SettingsTab::model, "Model"}));

TEST_F(SettingsWindowTest, MovePaneWrapsForStepsOfAnySize)
{
    const struct {
        int step;
        SettingsTab to;
    } cases[] = {{0, SettingsTab::updates},  {5, SettingsTab::updates}, {-5, SettingsTab::updates},
                 {2, SettingsTab::about},    {-3, SettingsTab::about},  {-1, SettingsTab::model},
                 {-12, SettingsTab::general}};
    for (const auto& c : cases) {
        navigation.setTab(SettingsTab::updates);
        controller->movePane(c.step);
        EXPECT_EQ(controller->tab(), c.to) << c.step;
        EXPECT_EQ(checkedPanes(), std::vector<SettingsTab>{c.to}) << c.step;
    }
}

TEST_F(SettingsWindowTest, CtrlTabIsLeftToAComposingField)
{
    auto* field = new QLineEdit(controller->window()->findChild<SettingsView*>()->page());
    controller->present(SettingsTab::model);
    field->setFocus();
    QInputMethodEvent composing(QStringLiteral("も"), {});
    QApplication::sendEvent(field, &composing);
    QTest::keyClick(field, Qt::Key_Tab, forward);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(controller->tab(), SettingsTab::model);
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(closes, 0);
}

TEST_F(SettingsWindowTest, EscapeClosesAndPresentWithoutAPaneReopensOnTheSamePane)
{
    controller->present(SettingsTab::updates);
    QTest::keyClick(controller->window(), Qt::Key_Escape);
    EXPECT_FALSE(controller->window()->isVisible());
    EXPECT_EQ(closes, 1);

    created.clear();
    controller->present(std::nullopt);
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(controller->tab(), SettingsTab::updates);
    EXPECT_EQ(controller->window()->windowTitle(), QStringLiteral("Updates"));
    EXPECT_EQ(checkedPanes(), std::vector<SettingsTab>{SettingsTab::updates});
    EXPECT_TRUE(created.empty()) << "the page of the pane still shown is kept";
}

TEST_F(SettingsWindowTest, OnCloseRunsOncePerPresentation)
{
    const struct {
        const char* action;
        int closes;
    } steps[] = {{"present", 0}, {"close", 1},  {"close", 1},   {"show", 1},    {"escape", 1},
                 {"present", 1}, {"escape", 2}, {"present", 2}, {"present", 2}, {"close", 3}};
    for (const auto& step : steps) {
        const QByteArray action(step.action);
        if (action == "present")
            controller->present(std::nullopt);
        else if (action == "show")
            controller->window()->show(); // shown again by something other than present()
        else if (action == "escape")
            QTest::keyClick(controller->window(), Qt::Key_Escape);
        else
            controller->window()->close();
        EXPECT_EQ(closes, step.closes) << step.action;
    }
}

TEST_F(SettingsWindowTest, ToolbarClickSelectsThePaneAndCreatesItsPageOnce)
{
    controller->present(SettingsTab::general);
    created.clear();
    QTest::mouseClick(button(SettingsTab::privacy), Qt::LeftButton);
    EXPECT_EQ(controller->tab(), SettingsTab::privacy);
    EXPECT_EQ(controller->window()->windowTitle(), QStringLiteral("Privacy"));
    EXPECT_EQ(checkedPanes(), std::vector<SettingsTab>{SettingsTab::privacy});
    EXPECT_EQ(created, std::vector<SettingsTab>{SettingsTab::privacy});

    QTest::mouseClick(button(SettingsTab::privacy), Qt::LeftButton);
    EXPECT_EQ(checkedPanes(), std::vector<SettingsTab>{SettingsTab::privacy}) << "stays selected";
    EXPECT_EQ(created, std::vector<SettingsTab>{SettingsTab::privacy}) << "the same pane is not rebuilt";

    QTest::mouseClick(button(SettingsTab::model), Qt::LeftButton);
    EXPECT_EQ(created, (std::vector<SettingsTab>{SettingsTab::privacy, SettingsTab::model}));
    controller->selectPane(QStringLiteral("Vellora.Settings"));
    EXPECT_EQ(controller->tab(), SettingsTab::model) << "an identifier that names no pane does nothing";
}

TEST(SettingsWindowIdentifierTest, IdentifiersNameExactlyThePanes)
{
    for (SettingsTab tab : SettingsTabs::allCases()) {
        const QString id = SettingsWindowController::identifier(tab);
        EXPECT_EQ(id, QStringLiteral("Vellora.Settings.") + SettingsTabs::rawValue(tab));
        EXPECT_EQ(SettingsWindowController::pane(id), tab);
    }
    for (const char* id : {"", "Vellora.Settings", "Vellora.Settings.", "Vellora.Settings.General", "general",
                           "Vellora.Settings.general ", "Vellora.Settings.help"})
        EXPECT_EQ(SettingsWindowController::pane(QString::fromUtf8(id)), std::nullopt) << id;
}

} // namespace
