#include "UI/Settings/SettingsPages.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Settings/AboutView.h"
#include "UI/Settings/GeneralSettings.h"
#include "UI/Settings/ModelSettingsView.h"
#include "UI/Settings/PrivacySettings.h"
#include "UI/Settings/UpdateSettingsView.h"
#include "support/WidgetLookup.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The settings window shows the real page of each pane.
TEST(SettingsPagesTest, eachPaneHasItsPage)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    ClipboardStore store({Settings::shared(), data.path()});
    store.load();

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
        std::unique_ptr<QWidget> page(makeSettingsPage(c.tab, {Settings::shared(), store, {}}));
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(c.isExpected(page.get())) << SettingsTabs::rawValue(c.tab).toStdString();
        EXPECT_EQ(page->objectName(),
                  QStringLiteral("Vellora.Settings.page.") + SettingsTabs::rawValue(c.tab));
        EXPECT_EQ(page->parent(), nullptr);
    }
}

// Pages whose links asked a process-wide object that a controller built by its constructor
// never filled did nothing: each page asks the requests it was handed.
TEST(SettingsPagesTest, thePrivacyAndAboutLinksAskTheRequestsTheyWereHanded)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    ClipboardStore store({Settings::shared(), data.path()});
    QList<PrivacySupportPage> asked;
    const SettingsPageServices services{
        Settings::shared(), store, {{}, {}, [&asked](PrivacySupportPage page) { asked.append(page); }}};
    const struct {
        SettingsTab tab;
        const char* link;
        PrivacySupportPage page;
    } cases[] = {
        {SettingsTab::privacy, "Help & Support", PrivacySupportPage::support},
        {SettingsTab::privacy, "Privacy Policy", PrivacySupportPage::privacy},
        {SettingsTab::about, "Help & Support", PrivacySupportPage::support},
        {SettingsTab::about, "Privacy Policy", PrivacySupportPage::privacy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        asked.clear();
        std::unique_ptr<QWidget> page(makeSettingsPage(c.tab, services));
        QPushButton* link = button(*page, QString::fromUtf8(c.link));
        ASSERT_NE(link, nullptr);
        link->click();
        EXPECT_EQ(asked, QList<PrivacySupportPage>{c.page});
    }
}

} // namespace
