#include "AppControllerFixture.h"

#include <QGuiApplication>
#include <QSet>
#include <QSystemTrayIcon>

namespace {

using Step = AppController::LaunchStep;

// What could be seen of the launch when a step began.
struct Snapshot {
    Step step;
    bool monitorRunning;
    qsizetype hotKeys;
    bool statusItem;
    int loginRegistrations;
    qsizetype clips;
    bool onboarded;
    int updaterStarts;
    int configurationRefreshes;
    bool operator==(const Snapshot&) const = default;
};

class LaunchTest : public AppControllerTest {
protected:
    void SetUp() override
    {
        AppControllerTest::SetUp();
        Settings::shared().setOnboarded(false);
        Settings::shared().setLaunchAtLogin(true);
        loginItem.enabled = false;
        loginItem.registrations = 0;
        AppController::Hooks& hooks = controller->hooks();
        hooks.startUpdater = [this] { ++updaterStarts; };
        hooks.refreshPublicConfiguration = [this] { ++configurationRefreshes; };
        hooks.launchStepStarted = [this](Step step) {
            snapshots.append({step, controller->monitor().isRunning(), hotKeys.registered.size(),
                              controller->statusItem() != nullptr, loginItem.registrations,
                              store->history().size(), Settings::shared().onboarded(), updaterStarts,
                              configurationRefreshes});
        };
    }

    int updaterStarts = 0;
    int configurationRefreshes = 0;
    QList<Snapshot> snapshots;
};

TEST_F(LaunchTest, demoRunsItsStepsInOrderAndShowsTheBar)
{
    LaunchOptions options;
    options.demo = true;
    controller->applicationDidFinishLaunching(options);

    const qsizetype samples = store->history().size();
    // The hot keys: the clipboard one and the browser-links one.
    const QList<Snapshot> expected = {
        {Step::becomeAccessory, false, 0, false, 0, 0, false, 0, 0},
        {Step::applyAppearance, false, 0, false, 0, 0, false, 0, 0},
        {Step::observeSystemEvents, false, 0, false, 0, 0, false, 0, 0},
        {Step::startHotKeys, false, 0, false, 0, 0, false, 0, 0},
        {Step::showStatusItem, false, 2, false, 0, 0, false, 0, 0},
        {Step::applyLoginItem, false, 2, true, 0, 0, false, 0, 0},
        {Step::fillDemoSamples, false, 2, true, 1, 0, false, 0, 0},
        {Step::scheduleFirstWindow, false, 2, true, 1, samples, false, 0, 0},
        {Step::markOnboarded, false, 2, true, 1, samples, false, 0, 0},
    };
    EXPECT_EQ(snapshots, expected);
    EXPECT_TRUE(Settings::shared().onboarded());
    EXPECT_FALSE(controller->monitor().isRunning()) << "no capture with --demo";

    QSet<ClipType> kinds;
    for (const ClipItem& item : store->history())
        kinds.insert(item.type);
    EXPECT_EQ(kinds.size(), ClipTypes::allCases().size()) << "sample clips of every kind";

    EXPECT_EQ(controller->barController(), nullptr) << "the bar waits for its delay";
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    EXPECT_EQ(controller->pastePermissionGuide(), nullptr);
}

TEST_F(LaunchTest, normalRunStartsCaptureUpdaterAndConfigurationAndNoBar)
{
    controller->applicationDidFinishLaunching({});
    QList<Step> steps;
    for (const Snapshot& snapshot : snapshots)
        steps.append(snapshot.step);
    const QList<Step> expected = {
        Step::becomeAccessory,     Step::startUpdater,   Step::applyAppearance,
        Step::observeSystemEvents, Step::startMonitor,   Step::refreshPublicConfiguration,
        Step::startHotKeys,        Step::showStatusItem, Step::applyLoginItem,
        Step::scheduleFirstWindow, Step::markOnboarded};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(snapshots.at(2).updaterStarts, 1) << "the updater starts before the appearance applies";
    EXPECT_EQ(snapshots.at(5).monitorRunning, true);
    EXPECT_EQ(snapshots.at(6).configurationRefreshes, 1);
    EXPECT_TRUE(store->history().isEmpty());

    controller->applicationDidFinishLaunching({});
    EXPECT_EQ(updaterStarts, 1) << "launching runs once";
    QTest::qWait(int(AppController::permissionGuideDelay.count()) + 200);
    EXPECT_EQ(controller->barController(), nullptr);
}

TEST_F(LaunchTest, theDueGuideComesInsteadOfTheDemoBarAndOnlyOnce)
{
    accessibility.trusted = false;
    LaunchOptions options;
    options.demo = true;
    controller->applicationDidFinishLaunching(options);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return controller->pastePermissionGuide() && controller->pastePermissionGuide()->isShowing(); },
        waitMs));
    EXPECT_EQ(controller->barController(), nullptr) << "the demo bar (0.5 s) is not shown";
    EXPECT_EQ(Platform::defaults().intValue(PastePermissionGuide::versionKey),
              PastePermissionGuide::currentVersion);
    EXPECT_FALSE(PastePermissionGuide::isDue(Platform::defaults(), accessibility));
    EXPECT_EQ(controller->pastePermissionGuide()->statusText(), QString());
    controller->pastePermissionGuide()->checkAgain();
    EXPECT_TRUE(controller->pastePermissionGuide()->isShowing());
    EXPECT_EQ(controller->pastePermissionGuide()->statusText(),
              QStringLiteral("Pasting is still not allowed."));
    accessibility.trusted = true;
    controller->pastePermissionGuide()->checkAgain();
    EXPECT_FALSE(controller->pastePermissionGuide()->isShowing()) << "closes once pasting works";
}

TEST_F(LaunchTest, theGuideIsDueOnlyWithoutPermissionAndBeforeThisVersion)
{
    const struct {
        bool trusted;
        std::optional<int> shownVersion;
        bool due;
    } cases[] = {
        {true, std::nullopt, false},
        {false, std::nullopt, true},
        {false, PastePermissionGuide::currentVersion - 1, true},
        {false, PastePermissionGuide::currentVersion, false},
        {false, PastePermissionGuide::currentVersion + 1, false},
        {true, PastePermissionGuide::currentVersion - 1, false},
    };
    for (const auto& c : cases) {
        accessibility.trusted = c.trusted;
        if (c.shownVersion)
            Platform::defaults().setInt(PastePermissionGuide::versionKey, *c.shownVersion);
        else
            Platform::defaults().remove(PastePermissionGuide::versionKey);
        EXPECT_EQ(PastePermissionGuide::isDue(Platform::defaults(), accessibility), c.due)
            << c.trusted << ' ' << c.shownVersion.value_or(-1);
    }
}

TEST_F(LaunchTest, stoppingEndsTheQueueDropsAPendingPasteAndMakesDeletionsFinal)
{
    controller->applicationDidFinishLaunching({});
    const ClipItem kept = textClip(QStringLiteral("kept"));
    const ClipItem deleted = textClip(QStringLiteral("deleted"));
    store->addCaptured(kept);
    store->addCaptured(deleted);
    store->deleteItems({store->history().first().id});
    ASSERT_TRUE(store->canUndoDelete());

    frontApplication();
    controller->startPasteQueue({textClip(QStringLiteral("one")), textClip(QStringLiteral("two"))},
                                PasteFormat::plainText);
    ASSERT_TRUE(keyEvents.strokes.isEmpty()) << "the first paste waits for its target";

    controller->applicationWillTerminate();
    pressHotKey(); // with the queue ended, pastes nothing
    QTest::qWait(200);
    EXPECT_TRUE(keyEvents.strokes.isEmpty()) << "the pending paste keys are never posted";
    EXPECT_TRUE(toasts.isEmpty());
    EXPECT_FALSE(store->canUndoDelete());
    EXPECT_EQ(controller->statusItem(), nullptr);

    ClipboardStore::Environment environment{Settings::shared()};
    environment.localDirectory = temp.filePath(QStringLiteral("data"));
    environment.cloudDrive = &cloud;
    ClipboardStore reloaded(environment);
    reloaded.load();
    ASSERT_EQ(reloaded.history().size(), 1) << "saved at once, without the deleted clip";
    EXPECT_EQ(reloaded.history().first().text, QStringLiteral("kept"));
}

} // namespace

namespace {

TEST_F(LaunchTest, activationRefreshesTheConfigurationExceptInTheDemo)
{
    for (const bool demo : {false, true}) {
        SCOPED_TRACE(demo);
        TearDown();
        SetUp();
        LaunchOptions options;
        options.demo = demo;
        controller->applicationDidFinishLaunching(options);
        const int atLaunch = configurationRefreshes;
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        EXPECT_EQ(configurationRefreshes - atLaunch, demo ? 0 : 1);
    }
}

TEST_F(LaunchTest, aChangeOfScreensHidesTheBar)
{
    controller->applicationDidFinishLaunching({});
    frontApplication();
    controller->showBar();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    emit qApp->primaryScreenChanged(QGuiApplication::primaryScreen());
    EXPECT_FALSE(controller->barController()->phase().isVisible());
}

TEST_F(LaunchTest, demoPastesGoToARunningTextEditor)
{
    const Platform::RunningApplication front = frontApplication();
    const Platform::RunningApplication editor = application(9090, QStringLiteral("org.kde.kate"));
    const struct {
        bool demo;
        bool pasteToTextEditor;
        bool editorRuns;
        Platform::RunningApplication expected;
    } cases[] = {
        {true, true, true, editor},
        {true, true, false, front},
        {true, false, true, front},
        {false, true, true, front},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        workspace.running = {front};
        workspace.frontmost = front;
        if (c.editorRuns)
            workspace.running.append(editor);
        LaunchOptions options =
            LaunchOptions::parse(c.pasteToTextEditor ? QStringList{"vellora", "--demo-paste-to-textedit"}
                                                     : QStringList{"vellora"});
        options.demo = c.demo;
        controller->applicationDidFinishLaunching(options);
        controller->showBar();
        EXPECT_EQ(controller->pasteTarget(), c.expected) << c.demo << c.pasteToTextEditor << c.editorRuns;
    }
}

} // namespace
