#include "UI/Settings/SettingsNavigation.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct NavigationCase {
    const char* name;
    std::vector<SettingsTab> selections;
    std::vector<SettingsTab> notified;
};

class SettingsNavigationTest : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(SettingsNavigationTest, NotifiesOnlyRealChangesInOrder)
{
    const NavigationCase& c = GetParam();
    SettingsNavigation navigation;
    QSignalSpy spy(&navigation, &SettingsNavigation::tabChanged);
    for (SettingsTab tab : c.selections)
        navigation.setTab(tab);

    ASSERT_EQ(spy.count(), int(c.notified.size()));
    for (size_t i = 0; i < c.notified.size(); ++i)
        EXPECT_EQ(spy.at(int(i)).at(0).value<SettingsTab>(), c.notified[i]) << i;
    const SettingsTab expected = c.selections.empty() ? SettingsTab::general : c.selections.back();
    EXPECT_EQ(navigation.tab(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, SettingsNavigationTest,
    ::testing::Values(
        NavigationCase{"nothing", {}, {}}, NavigationCase{"startsOnGeneral", {SettingsTab::general}, {}},
        NavigationCase{"sameTabTwice", {SettingsTab::privacy, SettingsTab::privacy}, {SettingsTab::privacy}},
        NavigationCase{"backAndForth",
                       {SettingsTab::model, SettingsTab::about, SettingsTab::about, SettingsTab::model},
                       {SettingsTab::model, SettingsTab::about, SettingsTab::model}},
        NavigationCase{"everyPane",
                       {SettingsTab::general, SettingsTab::model, SettingsTab::updates, SettingsTab::privacy,
                        SettingsTab::about},
                       {SettingsTab::model, SettingsTab::updates, SettingsTab::privacy, SettingsTab::about}}),
    [](const ::testing::TestParamInfo<NavigationCase>& info) { return std::string(info.param.name); });

TEST(SettingsNavigationSharedTest, OneInstanceKeepsTheLastPane)
{
    SettingsNavigation& shared = SettingsNavigation::shared();
    EXPECT_EQ(&shared, &SettingsNavigation::shared());
    const SettingsTab before = shared.tab();
    shared.setTab(SettingsTab::updates);
    EXPECT_EQ(SettingsNavigation::shared().tab(), SettingsTab::updates);
    shared.setTab(before);
}

} // namespace
