#include "UI/Settings/PastePermissionSettingsSection.h"

#include "Platform/Accessibility.h"
#include "Platform/Workspace.h"
#include "Util/Localization.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeWorkspace.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString pathText = QStringLiteral("Desktop session → X11 or XWayland → XTEST extension");

} // namespace

class PastePermissionSection : public ::testing::Test {
protected:
    PastePermissionSection()
    {
        Localization::shared().setLanguage(AppLanguage::english);
        Platform::setAccessibilityForTesting(&accessibility);
        Platform::setWorkspaceForTesting(&workspace);
    }
    ~PastePermissionSection() override
    {
        section.reset();
        Platform::setAccessibilityForTesting(nullptr);
        Platform::setWorkspaceForTesting(nullptr);
    }

    void create()
    {
        section = std::make_unique<PastePermissionSettingsSection>();
        section->show();
    }

    template <typename T> T* child(const char* name) const
    {
        T* found = section->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    bool shown(const char* name) const { return child<QWidget>(name)->isVisible(); }
    QToolButton* disclosure() const { return child<QToolButton>("pasteMissingAppDisclosure"); }

    FakeAccessibility accessibility;
    FakeWorkspace workspace;
    std::unique_ptr<PastePermissionSettingsSection> section;
};

struct DisplayCase {
    const char* name;
    bool granted;
    bool openFails;
    QString status;
    QString detail;
    bool details;      // divider and path caption
    bool instructions; // the two texts under the path
    bool disclosure;
};

class PastePermissionDisplay : public PastePermissionSection,
                               public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(PastePermissionDisplay, ShowsWhatTheStateCallsFor)
{
    const DisplayCase& c = GetParam();
    accessibility.trusted = c.granted;
    workspace.desktopSettingsOpen = !c.openFails;
    create();
    child<QPushButton>("pasteOpenSettings")->click();

    EXPECT_EQ(section->title(), QStringLiteral("Paste"));
    EXPECT_EQ(text("pasteStatus"), c.status);
    EXPECT_EQ(text("pasteStatusDetail"), c.detail);
    auto* open = child<QPushButton>("pasteOpenSettings");
    EXPECT_TRUE(open->isVisible());
    EXPECT_EQ(open->text(), QStringLiteral("Open Desktop Settings"));
    EXPECT_EQ(open->toolTip(), pathText);

    EXPECT_EQ(shown("pasteDivider"), c.details);
    EXPECT_EQ(shown("pastePathCaption"), c.details);
    EXPECT_EQ(text("pastePathCaption"), pathText);
    EXPECT_EQ(shown("pasteFindInstruction"), c.instructions);
    EXPECT_EQ(shown("pasteReturnInstruction"), c.instructions);
    EXPECT_EQ(
        text("pasteFindInstruction"),
        QStringLiteral("Turn on XTEST for the session Vellora runs in: log in to an X11 session, or start "
                       "Vellora with XWayland."));
    EXPECT_EQ(
        text("pasteReturnInstruction"),
        QStringLiteral("Return to Vellora to check. If the status stays unchanged, quit and reopen it."));
    EXPECT_EQ(shown("pasteOpenFailedNote"), c.openFails);
    EXPECT_EQ(text("pasteOpenFailedNote"),
              QStringLiteral("Open the desktop's settings manually, then follow the path above."));
    EXPECT_EQ(disclosure()->isVisible(), c.disclosure);
    EXPECT_EQ(disclosure()->text(), QStringLiteral("Vellora is not listed?"));
    EXPECT_FALSE(shown("pasteMissingAppContent")); // starts closed
}

const QString enabled = QStringLiteral("Permission enabled");
const QString notEnabled = QStringLiteral("Permission not enabled");
const QString ready = QStringLiteral("Ready to paste into the original app.");
const QString enable = QStringLiteral("Enable permission to paste selected content into the original app.");

INSTANTIATE_TEST_SUITE_P(
    States, PastePermissionDisplay,
    ::testing::Values(DisplayCase{"Granted", true, false, enabled, ready, false, false, false},
                      DisplayCase{"GrantedOpenFailed", true, true, enabled, ready, true, false, false},
                      DisplayCase{"Missing", false, false, notEnabled, enable, true, true, true},
                      DisplayCase{"MissingOpenFailed", false, true, notEnabled, enable, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PastePermissionSection, PollsOnlyWhileShown)
{
    section = std::make_unique<PastePermissionSettingsSection>();
    EXPECT_FALSE(section->isPolling());
    section->show();
    EXPECT_TRUE(section->isPolling());
    section->hide();
    EXPECT_FALSE(section->isPolling());

    // Shown again: checked at once, without waiting for a tick.
    accessibility.trusted = false;
    section->show();
    EXPECT_TRUE(section->isPolling());
    EXPECT_FALSE(section->permission().isGranted());
    EXPECT_EQ(text("pasteStatus"), notEnabled);
}

TEST_F(PastePermissionSection, FollowsTheAnswerAtTheNextTickAndClosesTheDisclosureOnGrant)
{
    create();
    EXPECT_EQ(text("pasteStatus"), enabled);

    accessibility.trusted = false; // revoked while shown
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("pasteStatus") == notEnabled; }));
    EXPECT_TRUE(disclosure()->isVisible());
    EXPECT_FALSE(shown("pasteMissingAppContent"));

    disclosure()->click();
    EXPECT_TRUE(section->isShowingMissingApp());
    EXPECT_TRUE(shown("pasteMissingAppContent"));
    EXPECT_EQ(child<QPushButton>("pasteRevealApp")->text(),
              QStringLiteral("Show Vellora in the File Manager"));

    accessibility.trusted = true; // granted
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("pasteStatus") == enabled; }));
    EXPECT_FALSE(section->isShowingMissingApp());
    EXPECT_FALSE(disclosure()->isVisible());
    EXPECT_FALSE(shown("pasteDivider"));

    accessibility.trusted = false; // revoked again: the disclosure comes back closed
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("pasteStatus") == notEnabled; }));
    EXPECT_TRUE(disclosure()->isVisible());
    EXPECT_FALSE(shown("pasteMissingAppContent"));
}

TEST_F(PastePermissionSection, ChecksAtOnceWhenVelloraBecomesActiveWhileShown)
{
    create();
    accessibility.trusted = false;
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_EQ(text("pasteStatus"), notEnabled);

    section->hide();
    accessibility.trusted = true;
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(section->permission().isGranted()); // not checked while hidden
}

TEST_F(PastePermissionSection, RevealsTheRunningApplication)
{
    accessibility.trusted = false;
    create();
    disclosure()->click();
    child<QPushButton>("pasteRevealApp")->click();
    EXPECT_EQ(workspace.revealedFiles, QStringList{QCoreApplication::applicationFilePath()});
}

TEST_F(PastePermissionSection, ANewSectionStartsWithoutTheOpenFailure)
{
    workspace.desktopSettingsOpen = false;
    create();
    child<QPushButton>("pasteOpenSettings")->click();
    EXPECT_TRUE(shown("pasteOpenFailedNote"));

    create();
    EXPECT_FALSE(section->permission().settingsOpenFailed());
    EXPECT_FALSE(shown("pasteOpenFailedNote"));
    EXPECT_FALSE(shown("pasteDivider"));
}

TEST_F(PastePermissionSection, TextsFollowTheLanguage)
{
    accessibility.trusted = false;
    create();
    Localization::shared().setLanguage(AppLanguage::chinese);
    EXPECT_EQ(section->title(), QStringLiteral("粘贴"));
    EXPECT_EQ(text("pasteStatus"), QStringLiteral("权限未开启"));
    EXPECT_EQ(child<QPushButton>("pasteOpenSettings")->text(), QStringLiteral("打开桌面设置"));
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(text("pasteStatus"), notEnabled);
}
