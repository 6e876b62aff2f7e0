#include "AppControllerFixture.h"

#include "UI/Bar/BarView.h"

#include <QWidget>
#include <optional>

namespace {

class HotKeyTest : public AppControllerTest {
protected:
    void SetUp() override
    {
        AppControllerTest::SetUp();
        controller->applicationDidFinishLaunching({});
        for (const char* text : {"first", "second", "third"})
            store->addCaptured(textClip(QString::fromLatin1(text)));
    }

    // Records the phases the bar goes through from now on.
    void recordPhases()
    {
        QObject::connect(controller->barController(), &BarWindowController::phaseChanged, controller.get(),
                         [this] { recorded.append(barPhase()); });
    }

    QList<BarPhaseKind> recorded;
};

TEST_F(HotKeyTest, twoQuickPressesLeaveTheBarHidden)
{
    frontApplication();
    pressHotKey();
    ASSERT_NE(controller->barController(), nullptr);
    recordPhases();
    EXPECT_EQ(barPhase(), BarPhaseKind::showing);
    pressHotKey();
    EXPECT_EQ(barPhase(), BarPhaseKind::hiding) << "a press while showing hides";
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
    QTest::qWait(400);
    EXPECT_EQ(barPhase(), BarPhaseKind::hidden) << "the first slide's end does not show it again";
    EXPECT_FALSE(controller->barController()->window()->isVisible());
    EXPECT_EQ(recorded, (QList<BarPhaseKind>{BarPhaseKind::hiding, BarPhaseKind::hidden}));
}

TEST_F(HotKeyTest, aPressWhileTheHistoryLoadsShowsTheBarOnceItIsThere)
{
    store->saveNow();
    frontApplication();
    ASSERT_TRUE(hotKeys.press(hotKeyCode, hotKeyModifiers));
    store->loadInBackground();
    std::optional<bool> barExistedAtLoad;
    QObject::connect(store.get(), &ClipboardStore::loaded, controller.get(), [this, &barExistedAtLoad] {
        barExistedAtLoad = controller->barController() != nullptr;
    });
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    EXPECT_EQ(barExistedAtLoad, false) << "no empty bar before the history";
    EXPECT_EQ(controller->barController()->view()->shownClips().size(), 3);
}

TEST_F(HotKeyTest, pressesAlternateBetweenShownAndHidden)
{
    frontApplication();
    for (int round = 0; round < 2; ++round) {
        pressHotKey();
        ASSERT_TRUE(waitForPhase(BarPhaseKind::shown)) << round;
        EXPECT_TRUE(controller->barController()->window()->isVisible());
        pressHotKey();
        ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden)) << round;
        EXPECT_FALSE(controller->barController()->window()->isVisible());
    }
    // A press while hiding shows the bar again, ending shown.
    pressHotKey();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    pressHotKey();
    ASSERT_EQ(barPhase(), BarPhaseKind::hiding);
    pressHotKey();
    EXPECT_EQ(barPhase(), BarPhaseKind::showing);
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    QTest::qWait(400);
    EXPECT_EQ(barPhase(), BarPhaseKind::shown);
}

TEST_F(HotKeyTest, thePasteQueuePastesOnEachPressWhileTheBarIsHidden)
{
    const Platform::RunningApplication editor = frontApplication();
    controller->showBar();
    const QList<ClipItem> queued = store->history().mid(0, 2);
    controller->startPasteQueue(queued, PasteFormat::plainText);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == 1; }, waitMs));
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), queued.at(0).text->toUtf8());
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));

    pressHotKey();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == 2; }, waitMs));
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), queued.at(1).text->toUtf8());
    EXPECT_EQ(barPhase(), BarPhaseKind::hidden) << "the queue's press does not open the bar";
    EXPECT_EQ(workspace.activated.last(), editor);

    pressHotKey();
    EXPECT_TRUE(controller->barController()->phase().isVisible())
        << "the queue ends after its last clip: the hot key opens the bar";
    EXPECT_EQ(keyEvents.strokes.size(), 2);
}

// The bar opened over a window of Vellora's own (a conversation's question) pastes there, not
// into the application used before it; the bar itself is never a target.
TEST_F(HotKeyTest, aClipChosenOverVelloraOwnWindowIsPastedIntoThatWindow)
{
    const Platform::RunningApplication editor = frontApplication();
    controller->showBar();
    controller->hideBar();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));

    QWidget own;
    own.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&own));
    Platform::RunningApplication ownWindow = application(QCoreApplication::applicationPid());
    ownWindow.windowIdentifier = own.winId();
    workspace.running.append(ownWindow);
    workspace.frontmost = ownWindow;
    controller->showBar();
    workspace.frontmost = editor; // what the bar leaves in front must not count as the target
    controller->pasteItem(store->history().first(), PasteFormat::asCaptured);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == 1; }, waitMs));
    EXPECT_EQ(workspace.activated.last(), ownWindow);

    workspace.frontmost = editor;
    controller->showBar();
    controller->pasteItem(store->history().first(), PasteFormat::asCaptured);
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == 2; }, waitMs));
    EXPECT_EQ(workspace.activated.last(), editor) << "over another application the clip goes there";
}

TEST_F(HotKeyTest, aPressDuringAQueuedPasteDoesNotPasteTwice)
{
    frontApplication();
    const QList<ClipItem> queued = store->history().mid(0, 2);
    controller->startPasteQueue(queued, PasteFormat::asCaptured);
    ASSERT_TRUE(keyEvents.strokes.isEmpty()) << "the first paste waits for its target";
    pressHotKey();
    pressHotKey();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keyEvents.strokes.isEmpty(); }, waitMs));
    QTest::qWait(200);
    EXPECT_EQ(keyEvents.strokes.size(), 1);
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), queued.at(0).text->toUtf8())
        << "the presses did not take the queue's next clip";

    pressHotKey();
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == 2; }, waitMs))
        << "the next press pastes the queue's second clip";
    EXPECT_EQ(pasteboard.written(QStringLiteral("text/plain")), queued.at(1).text->toUtf8());
}

TEST_F(HotKeyTest, wakingAndScreenChangesHideTheBarAndWakingRegistersTheHotKeyAgain)
{
    for (const bool wake : {true, false}) {
        pressHotKey();
        ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
        const int unregistrations = hotKeys.unregistrations;
        if (wake)
            controller->systemDidWake();
        else
            controller->screensDidChange();
        EXPECT_FALSE(controller->barController()->phase().isVisible()) << wake;
        EXPECT_EQ(hotKeys.unregistrations - unregistrations, wake ? 1 : 0);
        EXPECT_TRUE(hotKeys.registered.values().contains(std::pair(hotKeyCode, hotKeyModifiers)));
        ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
    }
}

TEST_F(HotKeyTest, theBrowserLinksHotKeyOpensTheBar)
{
    const RivEVShortcut links = Settings::shared().browserLinksShortcut();
    ASSERT_TRUE(hotKeys.press(links.keyCode, links.modifiers));
    QCoreApplication::processEvents();
    ASSERT_NE(controller->barController(), nullptr);
    EXPECT_TRUE(controller->barController()->phase().isVisible());
}

} // namespace
