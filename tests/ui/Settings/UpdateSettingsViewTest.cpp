#include "UI/Settings/UpdateSettingsView.h"
#include "Platform/Bundle.h"
#include "Updates/UpdateSettings.h"
#include "Util/Localization.h"
#include "fakes/FakeBundle.h"
#include "fakes/FakeDirectUpdateDriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString notAvailable = QStringLiteral("This copy has no updater of its own.");
const QString couldNotStart = QStringLiteral("The updater could not start. Try again later.");
const QString fromPackageManager =
    QStringLiteral("This copy gets its updates from the package manager that installed it.");
const QString installedByVellora =
    QStringLiteral("Updates are downloaded securely and installed by Vellora.");
const QString leftInDownloads =
    QStringLiteral("Updates are downloaded securely and verified, then left in the "
                   "Downloads folder for you to install the way you installed this copy.");

QJsonObject configuredInfo()
{
    return {
        {QStringLiteral("VelloraDistributionChannel"), QStringLiteral("direct")},
        {QStringLiteral("SUFeedURL"), QStringLiteral("https://updates.example.com/feed.xml")},
        // 32 bytes of 0x01.
        {QStringLiteral("SUPublicEDKey"), QStringLiteral("AQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQEBAQE=")}};
}

enum class Copy { store, unconfigured, configured, noDriver, failingStart };

// UpdateSettings over a fake updater, and the page over it, in English.
class UpdateSettingsViewTest : public ::testing::Test {
protected:
    UpdateSettingsViewTest()
    {
        Localization::shared().setLanguage(AppLanguage::english);
        bundle.info = {{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.3")},
                       {QStringLiteral("CFBundleVersion"), QStringLiteral("45")}};
        bundle.root = QStringLiteral(":/") + QLatin1String(Platform::resourceBundleName);
        Platform::setMainBundleForTesting(&bundle);
    }
    ~UpdateSettingsViewTest() override
    {
        view.reset();
        Platform::setMainBundleForTesting(nullptr);
    }

    void make(Copy copy)
    {
        const DistributionChannel channel =
            copy == Copy::store ? DistributionChannel::appStore : DistributionChannel::direct;
        const QJsonObject info = copy == Copy::unconfigured ? QJsonObject() : configuredInfo();
        settings =
            std::make_unique<UpdateSettings>(channel, info, [this, copy](const DirectUpdateConfiguration&) {
                ++driversMade;
                if (copy == Copy::noDriver)
                    return std::unique_ptr<DirectUpdateDriving>();
                auto made = std::make_unique<FakeDirectUpdateDriver>();
                made->failingStarts = copy == Copy::failingStart ? 1000 : 0;
                driver = made.get();
                return std::unique_ptr<DirectUpdateDriving>(std::move(made));
            });
        view = std::make_unique<UpdateSettingsView>(*settings);
    }

    template <typename T> T* child(const char* name) const
    {
        T* found = view->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QCheckBox* checksToggle() const { return child<QCheckBox>("updatesAutomaticChecks"); }
    QCheckBox* downloadsToggle() const { return child<QCheckBox>("updatesAutomaticDownloads"); }
    QPushButton* checkButton() const { return child<QPushButton>("updatesCheck"); }
    QLabel* status() const { return child<QLabel>("updatesStatus"); }

    FakeBundle bundle;
    std::unique_ptr<UpdateSettings> settings;
    std::unique_ptr<UpdateSettingsView> view;
    FakeDirectUpdateDriver* driver = nullptr;
    int driversMade = 0;
};

struct StateRow {
    const char* name;
    Copy copy;
    bool runsAsAppImage;
    const char* channel;
    bool togglesEnabled;
    bool checkEnabled;
    QString note;
    QString status; // empty: no status line
};

class UpdateSettingsViewStateTest : public UpdateSettingsViewTest,
                                    public ::testing::WithParamInterface<StateRow> {};

TEST_P(UpdateSettingsViewStateTest, ShowsTheStateOfTheCopyOnceShown)
{
    const StateRow& row = GetParam();
    const QByteArray appImage = qgetenv("APPIMAGE");
    row.runsAsAppImage ? qputenv("APPIMAGE", "/opt/Vellora.AppImage") : qunsetenv("APPIMAGE");
    make(row.copy);
    EXPECT_EQ(child<QLabel>("updatesNote")->text(), row.note);
    appImage.isEmpty() ? qunsetenv("APPIMAGE") : qputenv("APPIMAGE", appImage);
    EXPECT_TRUE(status()->isHidden());
    view->show();
    EXPECT_EQ(child<QLabel>("updatesChannel")->text(), QLatin1String(row.channel));
    EXPECT_EQ(checksToggle()->isEnabled(), row.togglesEnabled);
    // Automatic checks are off, so downloads stay disabled in every state.
    EXPECT_FALSE(downloadsToggle()->isEnabled());
    EXPECT_EQ(checkButton()->isEnabled(), row.checkEnabled);
    EXPECT_EQ(status()->isHidden(), row.status.isEmpty());
    EXPECT_EQ(status()->text(), row.status);
    EXPECT_TRUE(status()->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
}

INSTANTIATE_TEST_SUITE_P(
    Copies, UpdateSettingsViewStateTest,
    ::testing::Values(
        StateRow{"store", Copy::store, false, "Packaged Edition", false, false, fromPackageManager, {}},
        StateRow{"unconfigured", Copy::unconfigured, false, "Website Edition", false, false,
                 fromPackageManager, notAvailable},
        StateRow{"running", Copy::configured, false, "Website Edition", true, true, leftInDownloads, {}},
        StateRow{"running as AppImage",
                 Copy::configured,
                 true,
                 "Website Edition",
                 true,
                 true,
                 installedByVellora,
                 {}},
        StateRow{"no driver", Copy::noDriver, false, "Website Edition", true, true, leftInDownloads,
                 notAvailable},
        StateRow{"failing start", Copy::failingStart, false, "Website Edition", true, true, leftInDownloads,
                 couldNotStart}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(UpdateSettingsViewTest, StartsOncePerShowing)
{
    make(Copy::failingStart);
    for (int showing = 1; showing <= 3; ++showing) {
        view->show();
        EXPECT_EQ(driver->starts, showing);
        view->hide();
    }
    EXPECT_EQ(driversMade, 1);
}

TEST_F(UpdateSettingsViewTest, TogglesWriteThroughAndGateEachOther)
{
    make(Copy::configured);
    view->show();

    QTest::mouseClick(checksToggle(), Qt::LeftButton);
    EXPECT_TRUE(driver->checks);
    EXPECT_TRUE(settings->automaticChecks());
    EXPECT_TRUE(downloadsToggle()->isEnabled());

    QTest::mouseClick(downloadsToggle(), Qt::LeftButton);
    EXPECT_TRUE(driver->downloads);
    EXPECT_TRUE(settings->automaticDownloads());

    QTest::mouseClick(checksToggle(), Qt::LeftButton);
    EXPECT_FALSE(driver->checks);
    EXPECT_FALSE(checksToggle()->isChecked());
    // Disabled, but it keeps showing the value it has.
    EXPECT_FALSE(downloadsToggle()->isEnabled());
    EXPECT_TRUE(downloadsToggle()->isChecked());
    EXPECT_TRUE(driver->downloads);
    EXPECT_EQ(driver->checkWrites, 2);
    EXPECT_EQ(driver->downloadWrites, 1);
}

TEST_F(UpdateSettingsViewTest, FollowsWhatTheUpdaterPublishes)
{
    make(Copy::configured);
    view->show();
    driver->checks = true;
    driver->downloads = true;
    driver->canCheck = false;
    driver->publish();
    EXPECT_TRUE(checksToggle()->isChecked());
    EXPECT_TRUE(downloadsToggle()->isChecked());
    EXPECT_TRUE(downloadsToggle()->isEnabled());
    EXPECT_FALSE(checkButton()->isEnabled());

    driver->canCheck = true;
    driver->publish();
    EXPECT_TRUE(checkButton()->isEnabled());
}

TEST_F(UpdateSettingsViewTest, CheckButtonChecksOnlyWhileItCan)
{
    make(Copy::configured);
    view->show();
    QTest::mouseClick(checkButton(), Qt::LeftButton);
    EXPECT_EQ(driver->checksRun, 1);

    driver->canCheck = false;
    driver->publish();
    QTest::mouseClick(checkButton(), Qt::LeftButton);
    EXPECT_EQ(driver->checksRun, 1);
}

struct VersionRow {
    QJsonObject info;
    const char* shown;
};

TEST_F(UpdateSettingsViewTest, ShowsTheInstalledVersion)
{
    const VersionRow rows[] = {
        {{{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.3")},
          {QStringLiteral("CFBundleVersion"), QStringLiteral("45")}},
         "2.3 (45)"},
        {{{QStringLiteral("CFBundleShortVersionString"), QStringLiteral("1.0")}}, "1.0 (0)"},
        {{{QStringLiteral("CFBundleShortVersionString"), 7},
          {QStringLiteral("CFBundleVersion"), QStringLiteral("9")}},
         "0.0 (9)"},
        {{}, "0.0 (0)"},
    };
    for (const VersionRow& row : rows) {
        bundle.info = row.info;
        make(Copy::store);
        EXPECT_EQ(child<QLabel>("updatesVersion")->text(), QLatin1String(row.shown));
    }
}

TEST_F(UpdateSettingsViewTest, RetitlesOnLanguageChange)
{
    make(Copy::configured);
    Localization::shared().setLanguage(AppLanguage::japanese);
    EXPECT_EQ(checkButton()->text(), QStringLiteral("アップデートを確認"));
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(checkButton()->text(), QStringLiteral("Check for Updates"));
}

} // namespace
