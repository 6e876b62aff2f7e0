#include "ui/App/AppControllerFixture.h"

#include "BrowserLinks/BrowserPage.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/ConversationWindowController.h"
#include "UI/Bar/BarView.h"
#include "UI/VelloraIconButton.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryFile>
#include <functional>
#include <optional>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// The conversation window and the paste roads on a real X display with a window manager:
// clicks and keys through XTest, the desktop's own windows, clipboard and key events.
namespace {

// Longer than the bar's slide in either direction.
constexpr int settleMs = 800;

// A Tk program's text field, in front with the keyboard focus. Tk names no process on its
// window, and no desktop entry names Tk.
const QByteArray tkTarget = R"TCL(
wm title . "Tk paste target"
entry .e -width 50 -textvariable value
pack .e
trace add variable value write {apply {{args} {global value; puts "text:$value"; flush stdout}}}
bind .e <FocusIn> {puts ready; flush stdout}
focus -force .e
)TCL";

class ConversationDesktopTest : public AppControllerTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "needs an X display";
        display_ = XOpenDisplay(nullptr);
        ASSERT_TRUE(display_);
        AppControllerTest::SetUp();
    }

    void TearDown() override
    {
        AppControllerTest::TearDown();
        if (tk_.state() != QProcess::NotRunning) {
            tk_.kill();
            tk_.waitForFinished();
        }
        if (display_)
            XCloseDisplay(display_);
    }

    void useRealDesktop()
    {
        Platform::setWorkspaceForTesting(nullptr);
        Platform::setPasteboardForTesting(nullptr);
        Platform::setKeyEventsForTesting(nullptr);
        Platform::setAccessibilityForTesting(nullptr);
    }

    void click(QWidget* widget)
    {
        const QPoint at = widget->mapToGlobal(widget->rect().center());
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(display_, Button1, True, CurrentTime);
        XTestFakeButtonEvent(display_, Button1, False, CurrentTime);
        XFlush(display_);
    }

    void pressKey(KeySym key)
    {
        const KeyCode code = XKeysymToKeycode(display_, key);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XFlush(display_);
    }

    // The rest of the newest output line of the Tk program that starts with the prefix and
    // satisfies the condition; none on time-out.
    std::optional<QString> tkLine(const QString& prefix,
                                  const std::function<bool(const QString&)>& accept = {})
    {
        std::optional<QString> found;
        const bool seen = QTest::qWaitFor(
            [&] {
                tkOutput_ += QString::fromUtf8(tk_.readAllStandardOutput());
                const QStringList lines = tkOutput_.split(QLatin1Char('\n'));
                for (qsizetype i = lines.size() - 2; i >= 0 && !found; --i) {
                    const QString rest = lines.at(i).mid(prefix.size());
                    if (lines.at(i).startsWith(prefix) && (!accept || accept(rest)))
                        found = rest;
                }
                return found.has_value();
            },
            waitMs);
        return seen ? found : std::nullopt;
    }

    void startTkTarget()
    {
        ASSERT_TRUE(script_.open());
        script_.write(tkTarget);
        script_.flush();
        tk_.start(QStringLiteral("wish"), {script_.fileName()});
        ASSERT_TRUE(tk_.waitForStarted()) << "Tk's wish is not installed";
        ASSERT_TRUE(tkLine(QStringLiteral("ready"))) << "the Tk field never had the focus";
        ASSERT_TRUE(QTest::qWaitFor(
            [] {
                const auto front = Platform::workspace().frontmostApplication();
                return front && front->processIdentifier != QCoreApplication::applicationPid();
            },
            waitMs))
            << "the Tk window never came to the front";
    }

    Display* display_ = nullptr;
    QProcess tk_;
    QString tkOutput_;
    QTemporaryFile script_;
};

TEST_F(ConversationDesktopTest, TheClipboardToggleHidesTheActiveBarAndShowsTheHiddenOne)
{
    askAI({textClip(QStringLiteral("note"))});
    ASSERT_EQ(controller->conversationWindows().size(), 1);
    ConversationWindowController* conversation = controller->conversationWindows().first();
    ASSERT_TRUE(QTest::qWaitForWindowActive(conversation->window()));
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden)) << "the bar hides for the conversation";
    controller->showBar();
    ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return controller->barController()->view()->isActiveWindow(); }, waitMs))
        << "the bar never took the focus";

    const struct {
        const char* name;
        BarPhaseKind after;
    } clicks[] = {{"over the active bar", BarPhaseKind::hidden},
                  {"with the bar hidden", BarPhaseKind::shown}};
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.name);
        click(conversation->view().clipboardToggle());
        EXPECT_TRUE(waitForPhase(c.after));
        QTest::qWait(settleMs);
        EXPECT_EQ(barPhase(), c.after) << "the bar moved again after the click";
    }
}

TEST_F(ConversationDesktopTest, EveryPasteRoadPastesIntoATkWindowThatWasInFront)
{
    useRealDesktop();
    ASSERT_NO_FATAL_FAILURE(startTkTarget());
    const QString address = QStringLiteral("https://example.com/shelf");
    const QString answer = QStringLiteral("The answer, pasted back");
    const struct {
        const char* name;
        QString pasted;
        std::function<void()> paste;
    } roads[] = {
        {"the browser shelf's Return", address,
         [&] {
             BrowserPage page;
             page.id = QStringLiteral("chrome:1:1");
             page.browser = LinkBrowser::chrome;
             page.url = address;
             browsers.setPages(LinkBrowser::chrome, {page});
             controller->browserLinksHotKeyAction();
             ASSERT_TRUE(QTest::qWaitFor(
                 [&] {
                     return shelf.pages().size() == 1 &&
                            controller->barController()->view()->isActiveWindow();
                 },
                 waitMs))
                 << "the shelf never showed the page";
             pressKey(XK_Return);
         }},
        {"Paste Back from a conversation", answer,
         [&] {
             controller->showBar();
             askAI({textClip(QStringLiteral("note"))});
             ConversationWindowController* conversation = controller->conversationWindows().last();
             ASSERT_TRUE(QTest::qWaitForWindowActive(conversation->window()));
             conversation->performResultAction(ConversationResultAction::paste, answer,
                                               [](bool pasted) { EXPECT_TRUE(pasted); });
         }},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.name);
        ASSERT_NO_FATAL_FAILURE(road.paste());
        const std::optional<QString> text =
            tkLine(QStringLiteral("text:"), [&](const QString& line) { return line.endsWith(road.pasted); });
        EXPECT_TRUE(text) << "the Tk field never received the text";
        EXPECT_EQ(toasts, QList<ToastRecord>{});
        toasts.clear();
    }
}

} // namespace
