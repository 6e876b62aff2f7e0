#include "AppControllerFixture.h"

#include "UI/AI/ConversationWindowController.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BrowserPageStripView.h"
#include "UI/Bar/BrowserShelfView.h"
#include "UI/Settings/SettingsWindowController.h"
#include "UI/VelloraIconButton.h"

#include <QWidget>

namespace {

using Reader = ControlledBrowserReader;

const BrowserPage s1 = Reader::page(LinkBrowser::safari, 1, 1, QStringLiteral("One"),
                                    QStringLiteral("https://one.example/a?b=1"));
const BrowserPage s2 =
    Reader::page(LinkBrowser::safari, 1, 2, QStringLiteral("Two"), QStringLiteral("https://two.example/"));
const BrowserPage c1 =
    Reader::page(LinkBrowser::chrome, 1, 1, QStringLiteral("Three"), QStringLiteral("http://three.example/"));
const BrowserPage e1 = Reader::page(LinkBrowser::edge, 1, 1, QStringLiteral("Two again"),
                                    QStringLiteral("https://two.example/"));

class BrowserShelfTest : public AppControllerTest {
protected:
    void SetUp() override
    {
        AppControllerTest::SetUp();
        browsers.setPages(LinkBrowser::safari, {s1, s2});
        browsers.setPages(LinkBrowser::chrome, {c1});
        browsers.setPages(LinkBrowser::edge, {e1});
        frontApplication();
    }

    // The bar on the shelf with every browser read.
    void openShelf()
    {
        controller->browserLinksHotKeyAction();
        ASSERT_TRUE(waitUntilRead());
        ASSERT_EQ(source(), BarSource::browserShelf());
    }

    bool waitUntilRead() const
    {
        return QTest::qWaitFor([&] { return shelf.session().isOpen() && !shelf.isLoading(); }, waitMs);
    }

    BarView& view() const { return *controller->barController()->view(); }
    BarSource source() const { return view().source(); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(view().searchField(), key, modifiers);
    }

    bool shelfEnded() const
    {
        return !shelf.session().isOpen() && shelf.results().empty() && !shelf.isLoading() &&
               shelf.selectedIDs().isEmpty() && !shelf.focusedID();
    }

    QString pasted() const { return QString::fromUtf8(pasteboard.written(QStringLiteral("text/plain"))); }
};

TEST_F(BrowserShelfTest, theHotKeyAndTheButtonGoThroughTheSourceSwitch)
{
    const RivEVShortcut links = Settings::shared().browserLinksShortcut();
    controller->applicationDidFinishLaunching({});
    frontApplication();
    ASSERT_TRUE(hotKeys.press(links.keyCode, links.modifiers));
    QCoreApplication::processEvents();
    ASSERT_NE(controller->barController(), nullptr);
    EXPECT_TRUE(controller->barController()->phase().isVisible());
    EXPECT_EQ(source(), BarSource::browserShelf());
    ASSERT_TRUE(waitUntilRead());
    EXPECT_EQ(browsers.started(), 3);
    EXPECT_EQ(shelf.pages(), (QList<BrowserPage>{s1, s2, c1, e1}));

    VelloraIconButton* button = view().browserTabsButton();
    button->click();
    EXPECT_EQ(source(), BarSource::history()) << "the button toggles back";
    EXPECT_TRUE(shelfEnded());
    button->click();
    EXPECT_EQ(source(), BarSource::browserShelf());
    ASSERT_TRUE(waitUntilRead());
    EXPECT_EQ(browsers.started(), 6) << "a closed session reads again";

    ASSERT_TRUE(hotKeys.press(links.keyCode, links.modifiers));
    QCoreApplication::processEvents();
    EXPECT_EQ(barPhase(), BarPhaseKind::hiding) << "the hot key on the shelf hides the bar";
    EXPECT_TRUE(shelfEnded());
}

TEST_F(BrowserShelfTest, switchingToTheShelfCopiesTheSearchAndRefreshesOrReselects)
{
    frontApplication();
    controller->showBar();
    QTest::keyClicks(view().searchField(), QStringLiteral("two"));
    controller->setBarSource(BarSource::browserShelf());
    EXPECT_EQ(shelf.query(), QStringLiteral("two"));
    EXPECT_TRUE(shelf.session().isOpen());
    ASSERT_TRUE(waitUntilRead());
    EXPECT_EQ(browsers.started(), 3);
    EXPECT_EQ(shelf.pages(), (QList<BrowserPage>{s2, e1}));

    // An open session is reselected, not read again.
    shelf.select(e1.id, false);
    controller->setBarSource(BarSource::browserShelf());
    EXPECT_EQ(browsers.started(), 3);
    EXPECT_EQ(shelf.selectedIDs(), QSet<QString>{s2.id});
    EXPECT_EQ(shelf.focusedID(), s2.id);

    QTest::keyClick(view().searchField(), Qt::Key_Backspace);
    EXPECT_EQ(shelf.query(), QStringLiteral("tw")) << "the search keeps the query";

    controller->setBarSource(BarSource::history());
    EXPECT_TRUE(shelfEnded());
    EXPECT_EQ(shelf.query(), QStringLiteral("tw")) << "ending keeps the query";
    EXPECT_EQ(browsers.started(), 3);

    // Between other sources the shelf is left alone.
    shelf.refresh();
    controller->setBarSource(BarSource::history());
    EXPECT_TRUE(shelf.session().isOpen());
}

TEST_F(BrowserShelfTest, pasteKeysPasteTheAddressesAsPlainTextAndEndTheShelf)
{
    struct Case {
        const char* name;
        QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        const char* text;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Case cases[] = {
        {"Return pastes the focused page", {{Qt::Key_Return, {}}}, "https://one.example/a?b=1"},
        {"all pages in shelf order, repeated addresses kept",
         {{Qt::Key_A, ctrl}, {Qt::Key_Return, {}}},
         "https://one.example/a?b=1\nhttps://two.example/\nhttp://three.example/\nhttps://two.example/"},
        {"moved focus, plain-text modifier",
         {{Qt::Key_Right, {}}, {Qt::Key_Right, {}}, {Qt::Key_Return, Qt::ShiftModifier}},
         "http://three.example/"},
        {"quick paste", {{Qt::Key_2, ctrl}}, "https://two.example/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openShelf();
        const qint64 strokes = keyEvents.strokes.size();
        for (const auto& [key, modifiers] : c.keys)
            press(key, modifiers);
        ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == strokes + 1; }, waitMs));
        EXPECT_EQ(pasted(), QString::fromUtf8(c.text));
        EXPECT_EQ(pasteboard.written(QStringLiteral("text/html")), QByteArray()) << "plain text only";
        EXPECT_TRUE(shelfEnded());
        EXPECT_FALSE(controller->barController()->phase().isVisible());
        EXPECT_EQ(workspace.activated.last(), *workspace.frontmost);
        ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
    }
    controller->monitor().checkForChanges();
    EXPECT_TRUE(store->history().isEmpty()) << "pasted addresses do not enter the history";
    EXPECT_TRUE(toasts.isEmpty());
}

TEST_F(BrowserShelfTest, aClickOnACardPastesIt)
{
    openShelf();
    BrowserPageStripView& strip = *view().shelf()->strip();
    QTest::mouseClick(strip.viewport(), Qt::LeftButton, {}, strip.cardRect(2).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return keyEvents.strokes.size() == 1; }, waitMs));
    EXPECT_EQ(pasted(), c1.url);
    EXPECT_TRUE(shelfEnded());
}

TEST_F(BrowserShelfTest, withoutATargetAPasteOnlySaysSo)
{
    const ToastRecord hint{QStringLiteral("There is no app to paste into. Copy the addresses instead."),
                           QStringLiteral("exclamationmark.triangle"), 3.0};
    struct Case {
        const char* name;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"the app quit",
         [&] {
             openShelf();
             workspace.terminated.insert(workspace.frontmost->processIdentifier);
         }},
        {"no app was in front",
         [&] {
             workspace.frontmost = application(QCoreApplication::applicationPid());
             openShelf();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        toasts.clear();
        // A controller of its own, which remembers no earlier application.
        controller = std::make_unique<AppController>(AppController::Services{
            *store, Settings::shared(), *hotKeyCenter,
            [this](const QString& message, const QString& symbol, double seconds) {
                toasts.append({message, symbol, seconds});
            },
            [this](const AppController::Alert& alert) { alerts.append(alert); }, shelf});
        c.arrange();
        press(Qt::Key_A, Qt::ControlModifier);
        const QSet<QString> selected = shelf.selectedIDs();
        const qint64 count = pasteboard.count;
        press(Qt::Key_Return);
        EXPECT_EQ(toasts, QList<ToastRecord>{hint});
        EXPECT_EQ(pasteboard.count, count);
        EXPECT_TRUE(shelf.session().isOpen()) << "the shelf stays as it was";
        EXPECT_EQ(shelf.selectedIDs(), selected);
        EXPECT_EQ(shelf.results().size(), 3u);
        EXPECT_TRUE(controller->barController()->phase().isVisible());
        EXPECT_TRUE(keyEvents.strokes.isEmpty());
    }
}

TEST_F(BrowserShelfTest, copyMovesTheClipboardShowsTheToastAndEndsTheShelf)
{
    openShelf();
    press(Qt::Key_Right);
    press(Qt::Key_Right, Qt::NoModifier);
    press(Qt::Key_A, Qt::ControlModifier);
    const qint64 before = pasteboard.count;
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(pasteboard.count, before + 1);
    EXPECT_EQ(
        pasted(),
        QStringLiteral(
            "https://one.example/a?b=1\nhttps://two.example/\nhttp://three.example/\nhttps://two.example/"));
    EXPECT_EQ(toasts, QList<ToastRecord>({{QStringLiteral("Copied to Clipboard"),
                                           QStringLiteral("checkmark.circle.fill"), 1.25}}));
    EXPECT_TRUE(shelfEnded());
    EXPECT_FALSE(controller->barController()->phase().isVisible());
    EXPECT_TRUE(keyEvents.strokes.isEmpty()) << "a copy posts no paste keys";
    controller->monitor().checkForChanges();
    EXPECT_TRUE(store->history().isEmpty()) << "our own write is not captured";
}

TEST_F(BrowserShelfTest, pagesThatGiveNoTextDoNothing)
{
    const BrowserPage local =
        Reader::page(LinkBrowser::chrome, 1, 2, QStringLiteral("Local"), QStringLiteral("file:///etc/hosts"));
    browsers.setPages(LinkBrowser::chrome, {c1, local});
    openShelf();
    struct Case {
        const char* name;
        QList<BrowserPage> pages;
    };
    const Case cases[] = {
        {"nothing", {}},
        {"not a web address", {local}},
        {"a page that is no longer listed",
         {Reader::page(LinkBrowser::edge, 5, 5, {}, QStringLiteral("https://x.example/"))}},
        {"a page that changed", {BrowserPage{s1.id, s1.browser, QStringLiteral("Renamed"), s1.url}}},
    };
    for (const Case& c : cases) {
        controller->pasteBrowserPages(c.pages);
        controller->copyBrowserPages(c.pages);
        EXPECT_EQ(pasteboard.count, 0) << c.name;
        EXPECT_TRUE(toasts.isEmpty()) << c.name;
        EXPECT_TRUE(shelf.session().isOpen()) << c.name;
        EXPECT_TRUE(controller->barController()->phase().isVisible()) << c.name;
    }
}

TEST_F(BrowserShelfTest, everyWayAwayFromTheBarEndsTheShelf)
{
    Settings::shared().setHideOnClickOutside(false);
    struct Case {
        const char* name;
        std::function<void()> leave;
    };
    const Case cases[] = {
        {"hideBar", [&] { controller->hideBar(); }},
        {"Escape", [&] { press(Qt::Key_Escape); }},
        {"settings", [&] { controller->showSettings(SettingsTab::general); }},
        {"wake", [&] { controller->systemDidWake(); }},
        {"screens", [&] { controller->screensDidChange(); }},
        {"a clip is pasted",
         [&] { controller->pasteItem(textClip(QStringLiteral("clip")), PasteFormat::asCaptured); }},
        {"a paste queue",
         [&] {
             controller->startPasteQueue({textClip(QStringLiteral("a")), textClip(QStringLiteral("b"))},
                                         PasteFormat::asCaptured);
         }},
        {"a conversation", [&] { askAI({textClip(QStringLiteral("material"))}); }},
        {"showBar", [&] { controller->showBar(); }},
        {"terminate", [&] { controller->applicationWillTerminate(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openShelf();
        ASSERT_FALSE(shelfEnded());
        c.leave();
        EXPECT_TRUE(shelfEnded());
        if (std::string_view(c.name) == "showBar") {
            EXPECT_EQ(source(), BarSource::history());
        }
    }
}

TEST_F(BrowserShelfTest, returningFromTheSettingsReadsTheShelfAgain)
{
    // WORKAROUND: the offscreen platform deactivates the bar as the closed settings window
    // hands activation back, which would hide it by the click-outside rule.
    Settings::shared().setHideOnClickOutside(false);
    openShelf();
    emit controller->barController()->settingsRequested();
    EXPECT_TRUE(shelfEnded());
    settingsWindow()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return browsers.started() == 6; }, waitMs));
    EXPECT_EQ(source(), BarSource::browserShelf());
    EXPECT_TRUE(controller->barController()->phase().isVisible());
    ASSERT_TRUE(waitUntilRead());
    EXPECT_EQ(shelf.focusedID(), s1.id);
}

TEST_F(BrowserShelfTest, aResultArrivingAfterTheBarHidChangesNothingShown)
{
    browsers.hold();
    frontApplication();
    controller->browserLinksHotKeyAction();
    ASSERT_TRUE(browsers.waitForStarted(1));
    BrowserShelfView& shelfView = *view().shelf();
    EXPECT_EQ(shelfView.loadingText(), QStringLiteral("Reading open tabs…"));
    controller->hideBar();
    EXPECT_EQ(shelfView.loadingText(), QString());
    browsers.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return browsers.finished() == 1; }, waitMs));
    // Let the answer reach the main thread, where it is dropped.
    QTest::qWait(100);
    EXPECT_EQ(browsers.started(), 1) << "reads not yet begun were cancelled";
    EXPECT_TRUE(shelfEnded());
    EXPECT_EQ(shelfView.strip()->count(), 0);
    EXPECT_TRUE(shelfView.errorLines().isEmpty());
}

} // namespace
