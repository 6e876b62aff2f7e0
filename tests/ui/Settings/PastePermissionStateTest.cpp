#include "UI/Settings/PastePermissionSettingsState.h"

#include "Platform/Accessibility.h"
#include "Platform/Workspace.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeWorkspace.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// Operations that record their calls; the permission answers from a list, its last answer
// repeating.
struct RecordedOperations {
    QList<bool> answers;
    bool opens = true;
    QStringList calls;

    PastePermissionSettingsState::Operations operations()
    {
        return {
            [this] {
                calls.append(QStringLiteral("check"));
                return answers.size() > 1 ? answers.takeFirst() : answers.first();
            },
            [this] { calls.append(QStringLiteral("request")); },
            [this] {
                calls.append(QStringLiteral("open"));
                return opens;
            },
        };
    }
};

} // namespace

struct OpenCase {
    const char* name;
    QList<bool> answers; // at creation, then at each check
    bool opens;
    QStringList calls; // after creation
    bool granted;
    bool openFailed;
};

class PastePermissionOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(PastePermissionOpen, ChecksAsksOnlyWhenMissingOpensAndChecksAgain)
{
    const OpenCase& c = GetParam();
    RecordedOperations recorded{c.answers, c.opens, {}};
    PastePermissionSettingsState state(recorded.operations());
    recorded.calls.clear();

    state.openSystemSettings();

    EXPECT_EQ(recorded.calls, c.calls);
    EXPECT_EQ(state.isGranted(), c.granted);
    EXPECT_EQ(state.settingsOpenFailed(), c.openFailed);
}

const QStringList withRequest{QStringLiteral("check"), QStringLiteral("request"), QStringLiteral("open"),
                              QStringLiteral("check")};
const QStringList withoutRequest{QStringLiteral("check"), QStringLiteral("open"), QStringLiteral("check")};

INSTANTIATE_TEST_SUITE_P(
    Presses, PastePermissionOpen,
    ::testing::Values(OpenCase{"GrantedOpens", {true}, true, withoutRequest, true, false},
                      OpenCase{"GrantedOpensNothing", {true}, false, withoutRequest, true, true},
                      OpenCase{"MissingOpens", {false}, true, withRequest, false, false},
                      OpenCase{"MissingOpensNothing", {false}, false, withRequest, false, true},
                      OpenCase{"GrantedWhileOpening", {false, false, true}, true, withRequest, true, false},
                      OpenCase{"RevokedSinceCreation", {true, false}, true, withRequest, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PastePermissionState, OpenFailureStaysUntilALaterPressOpens)
{
    RecordedOperations recorded{{false}, false, {}};
    PastePermissionSettingsState state(recorded.operations());
    QSignalSpy failures(&state, &PastePermissionSettingsState::settingsOpenFailedChanged);
    EXPECT_FALSE(state.settingsOpenFailed());

    state.openSystemSettings();
    state.refresh();
    state.openSystemSettings();
    EXPECT_TRUE(state.settingsOpenFailed());
    ASSERT_EQ(failures.count(), 1);
    EXPECT_TRUE(failures.at(0).at(0).toBool());

    recorded.opens = true;
    state.openSystemSettings();
    EXPECT_FALSE(state.settingsOpenFailed());
    ASSERT_EQ(failures.count(), 2);
    EXPECT_FALSE(failures.at(1).at(0).toBool());
}

TEST(PastePermissionState, RefreshSignalsOnlyARealChange)
{
    RecordedOperations recorded{{false, false, false, true, true, false}, true, {}};
    PastePermissionSettingsState state(recorded.operations());
    QSignalSpy changes(&state, &PastePermissionSettingsState::isGrantedChanged);

    for (int i = 0; i < 5; ++i)
        state.refresh();

    ASSERT_EQ(changes.count(), 2);
    EXPECT_TRUE(changes.at(0).at(0).toBool());
    EXPECT_FALSE(changes.at(1).at(0).toBool());
    EXPECT_FALSE(state.isGranted());
}

// The default operations ask the installed platform services.
class PastePermissionPlatform : public ::testing::Test {
protected:
    PastePermissionPlatform()
    {
        Platform::setAccessibilityForTesting(&accessibility);
        Platform::setWorkspaceForTesting(&workspace);
    }
    ~PastePermissionPlatform() override
    {
        Platform::setAccessibilityForTesting(nullptr);
        Platform::setWorkspaceForTesting(nullptr);
    }

    FakeAccessibility accessibility;
    FakeWorkspace workspace;
};

// The desktop's settings program opens, or the failure is reported.
TEST_F(PastePermissionPlatform, ReportsWhetherTheDesktopSettingsOpened)
{
    for (const bool opens : {true, false}) {
        workspace.desktopSettingsOpen = opens;
        PastePermissionSettingsState state;
        state.openSystemSettings();
        EXPECT_EQ(state.settingsOpenFailed(), !opens);
    }
    EXPECT_EQ(workspace.desktopSettingsOpens, 2);
    EXPECT_TRUE(workspace.openedURLs.isEmpty());
}

TEST_F(PastePermissionPlatform, ChecksTheInstalledAccessibilityEachTime)
{
    accessibility.trusted = false;
    PastePermissionSettingsState state;
    EXPECT_FALSE(state.isGranted());

    accessibility.trusted = true;
    state.refresh();
    EXPECT_TRUE(state.isGranted());

    // Nothing to ask on this desktop: a press without the permission only opens the settings.
    accessibility.trusted = false;
    state.openSystemSettings();
    EXPECT_FALSE(state.isGranted());
    EXPECT_EQ(workspace.desktopSettingsOpens, 1);
}
