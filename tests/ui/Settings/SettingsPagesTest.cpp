#include "UI/Settings/SettingsPages.h"
#include "UI/Settings/AboutView.h"
#include "UI/Settings/GeneralSettings.h"
#include "UI/Settings/ModelSettingsView.h"
#include "UI/Settings/PrivacySettings.h"
#include "UI/Settings/UpdateSettingsView.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The settings window shows the real page of each pane.
TEST(SettingsPagesTest, eachPaneHasItsPage)
{
    // The General page opens the shared history store: keep it in a folder of the test's own.
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    qputenv("XDG_DATA_HOME", data.path().toUtf8());

    const struct {
        SettingsTab tab;
        std::function<bool(QWidget*)> isExpected;
    } cases[] = {
        {SettingsTab::general, [](QWidget* page) { return qobject_cast<GeneralSettings*>(page) != nullptr; }},
        {SettingsTab::model, [](QWidget* page) { return qobject_cast<ModelSettingsView*>(page) != nullptr; }},
        {SettingsTab::updates,
         [](QWidget* page) { return qobject_cast<UpdateSettingsView*>(page) != nullptr; }},
        {SettingsTab::privacy, [](QWidget* page) { return qobject_cast<PrivacySettings*>(page) != nullptr; }},
        {SettingsTab::about, [](QWidget* page) { return qobject_cast<AboutView*>(page) != nullptr; }},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QWidget> page(makeSettingsPage(c.tab));
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(c.isExpected(page.get())) << SettingsTabs::rawValue(c.tab).toStdString();
        EXPECT_EQ(page->objectName(),
                  QStringLiteral("Vellora.Settings.page.") + SettingsTabs::rawValue(c.tab));
        EXPECT_EQ(page->parent(), nullptr);
    }
}

} // namespace
