#include "fakes/FakeDefaults.h"
#include "fakes/FakeDesktopAppearance.h"

#include "UI/Appearance.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

const QString key = QStringLiteral("dorvaneAppearance");

class AppearanceTest : public ::testing::Test {
protected:
    FakeDesktopAppearance desktop;
    FakeDefaults defaults;
};

TEST(AppearanceModesTest, RawValuesRoundTripAndNothingElseReads)
{
    for (AppearanceMode mode : {AppearanceMode::system, AppearanceMode::light, AppearanceMode::dark})
        EXPECT_EQ(AppearanceModes::fromRawValue(AppearanceModes::rawValue(mode)), mode);
    EXPECT_EQ(AppearanceModes::rawValue(AppearanceMode::system), QStringLiteral("system"));
    EXPECT_EQ(AppearanceModes::rawValue(AppearanceMode::light), QStringLiteral("light"));
    EXPECT_EQ(AppearanceModes::rawValue(AppearanceMode::dark), QStringLiteral("dark"));
    for (const char* bad : {"", "Dark", "LIGHT", " dark", "auto", "1"})
        EXPECT_FALSE(AppearanceModes::fromRawValue(QString::fromLatin1(bad))) << bad;
}

TEST_F(AppearanceTest, SavedChoiceIsReadAndAnythingElseMeansSystem)
{
    struct Case {
        QJsonValue stored;
        bool desktopDark;
        AppearanceMode mode;
        bool dark;
    };
    for (const Case& c : {Case{QStringLiteral("dark"), false, AppearanceMode::dark, true},
                          Case{QStringLiteral("light"), true, AppearanceMode::light, false},
                          Case{QStringLiteral("system"), true, AppearanceMode::system, true},
                          Case{QStringLiteral("Dark"), false, AppearanceMode::system, false},
                          Case{QStringLiteral("midnight"), true, AppearanceMode::system, true},
                          Case{QJsonValue(1), true, AppearanceMode::system, true},
                          Case{QJsonValue(QJsonValue::Undefined), false, AppearanceMode::system, false}}) {
        FakeDefaults store;
        if (!c.stored.isUndefined())
            store.setValue(key, c.stored);
        desktop.dark = c.desktopDark;
        Appearance appearance(desktop, store);
        appearance.applySaved();
        EXPECT_EQ(appearance.mode(), c.mode) << c.stored.toVariant().toString().toStdString();
        EXPECT_EQ(appearance.isDark(), c.dark) << c.stored.toVariant().toString().toStdString();
    }
}

TEST_F(AppearanceTest, SetModeStoresTheRawValue)
{
    Appearance appearance(desktop, defaults);
    appearance.setMode(AppearanceMode::dark);
    EXPECT_EQ(defaults.values.value(key), QJsonValue(QStringLiteral("dark")));
    appearance.setMode(AppearanceMode::system);
    EXPECT_EQ(defaults.values.value(key), QJsonValue(QStringLiteral("system")));
    EXPECT_EQ(appearance.mode(), AppearanceMode::system);
}

TEST_F(AppearanceTest, RunOnlyOverrideLeavesTheSavedChoiceAlone)
{
    defaults.setValue(key, QStringLiteral("light"));
    const int writes = defaults.writes;
    Appearance appearance(desktop, defaults);
    appearance.applyForThisRun(AppearanceMode::dark);
    EXPECT_TRUE(appearance.isDark());
    EXPECT_EQ(appearance.mode(), AppearanceMode::dark);
    EXPECT_EQ(defaults.writes, writes);
    EXPECT_EQ(defaults.values.value(key), QJsonValue(QStringLiteral("light")));

    Appearance nextRun(desktop, defaults);
    nextRun.applySaved();
    EXPECT_FALSE(nextRun.isDark());
}

TEST_F(AppearanceTest, ChangedFiresOnlyWhenTheEffectiveLookChanges)
{
    desktop.dark = true;
    Appearance appearance(desktop, defaults);
    QSignalSpy changed(&appearance, &Appearance::changed);

    appearance.applyForThisRun(AppearanceMode::light); // light was already the look
    EXPECT_EQ(changed.count(), 0);
    appearance.applyForThisRun(AppearanceMode::system); // the desktop is dark
    EXPECT_EQ(changed.count(), 1);
    appearance.applyForThisRun(AppearanceMode::dark); // same look, other mode
    EXPECT_EQ(changed.count(), 1);
    appearance.setMode(AppearanceMode::dark);
    EXPECT_EQ(changed.count(), 1);
    appearance.setMode(AppearanceMode::light);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(appearance.isDark());
}

TEST_F(AppearanceTest, SystemModeFollowsTheDesktop)
{
    Appearance appearance(desktop, defaults);
    appearance.applyForThisRun(AppearanceMode::system);
    QSignalSpy changed(&appearance, &Appearance::changed);

    desktop.setDark(true);
    EXPECT_TRUE(appearance.isDark());
    EXPECT_EQ(changed.count(), 1);
    desktop.setDark(true); // announced again without a real change
    EXPECT_EQ(changed.count(), 1);
    desktop.setDark(false);
    EXPECT_FALSE(appearance.isDark());
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(AppearanceTest, ExplicitModesIgnoreTheDesktop)
{
    Appearance appearance(desktop, defaults);
    appearance.applyForThisRun(AppearanceMode::light);
    QSignalSpy changed(&appearance, &Appearance::changed);
    const int queries = desktop.queries;

    desktop.setDark(true);
    EXPECT_FALSE(appearance.isDark());
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(desktop.queries, queries);
}

} // namespace
