#include "UI/Settings/SettingsView.h"

#include "UI/Settings/SettingsNavigation.h"
#include "UI/VelloraTypography.h"

#include <QCoreApplication>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Makes a page per call, named after its pane, and remembers the calls and the pages.
struct CountingFactory {
    std::vector<SettingsTab> calls;
    std::vector<QPointer<QWidget>> pages;

    SettingsView::PageFactory factory()
    {
        return [this](SettingsTab tab) {
            calls.push_back(tab);
            auto* page = new QWidget;
            page->setObjectName(SettingsTabs::rawValue(tab));
            pages.emplace_back(page);
            return page;
        };
    }
};

void deliverDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct SelectionCase {
    const char* name;
    std::vector<SettingsTab> selections;
    std::vector<SettingsTab> created; // after the first page, for General
};

class SettingsViewSelectionTest : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(SettingsViewSelectionTest, CreatesAPageForEachRealChangeOnly)
{
    const SelectionCase& c = GetParam();
    SettingsNavigation navigation;
    CountingFactory pages;
    SettingsView view(navigation, pages.factory());
    for (SettingsTab tab : c.selections)
        navigation.setTab(tab);
    deliverDeferredDeletes();

    std::vector<SettingsTab> expected{SettingsTab::general};
    expected.insert(expected.end(), c.created.begin(), c.created.end());
    EXPECT_EQ(pages.calls, expected);
    for (size_t i = 0; i + 1 < pages.pages.size(); ++i)
        EXPECT_TRUE(pages.pages[i].isNull()) << "page " << i << " of a pane left is gone";
    ASSERT_FALSE(pages.pages.back().isNull());
    EXPECT_EQ(view.page(), pages.pages.back().data());
    EXPECT_EQ(view.page()->parentWidget(), &view);
    EXPECT_EQ(view.page()->objectName(), SettingsTabs::rawValue(navigation.tab()));
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SettingsViewSelectionTest,
    ::testing::Values(SelectionCase{"nothing", {}, {}},
                      SelectionCase{"theSelectedPaneAgain", {SettingsTab::general}, {}},
                      SelectionCase{"oneChange", {SettingsTab::about}, {SettingsTab::about}},
                      SelectionCase{"repeatedPane",
                                    {SettingsTab::privacy, SettingsTab::privacy, SettingsTab::model},
                                    {SettingsTab::privacy, SettingsTab::model}},
                      SelectionCase{"awayAndBack",
                                    {SettingsTab::privacy, SettingsTab::updates, SettingsTab::privacy},
                                    {SettingsTab::privacy, SettingsTab::updates, SettingsTab::privacy}}),
    [](const ::testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

TEST(SettingsViewTest, APageMaySwitchThePaneFromItsOwnButton)
{
    SettingsNavigation navigation;
    int made = 0;
    SettingsView view(navigation, [&](SettingsTab) {
        ++made;
        auto* button = new QPushButton;
        QObject::connect(button, &QPushButton::clicked,
                         [&navigation] { navigation.setTab(SettingsTab::about); });
        return button;
    });
    view.show();
    QPointer<QWidget> first = view.page();
    QTest::mouseClick(static_cast<QPushButton*>(view.page()), Qt::LeftButton);
    EXPECT_EQ(made, 2);
    EXPECT_NE(view.page(), first.data());
    deliverDeferredDeletes();
    EXPECT_TRUE(first.isNull());
}

TEST(SettingsViewTest, FixedFramePaddingAndBodyFont)
{
    SettingsNavigation navigation;
    CountingFactory pages;
    SettingsView view(navigation, pages.factory());
    EXPECT_EQ(view.minimumSize(), QSize(600, 520));
    EXPECT_EQ(view.maximumSize(), QSize(600, 520));
    EXPECT_EQ(view.layout()->contentsMargins(), QMargins(8, 0, 8, 0));
    view.show();
    EXPECT_EQ(view.page()->geometry(), QRect(8, 0, 584, 520));
    EXPECT_EQ(view.page()->font().pixelSize(), VelloraTypography::body().pixelSize());
    EXPECT_EQ(view.page()->font().weight(), VelloraTypography::body().weight());
}

} // namespace
