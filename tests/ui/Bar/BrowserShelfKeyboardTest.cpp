#include "BarFixture.h"

#include "UI/Bar/BarKeyCommand.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"

#include <QKeyEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int generousWaitMs = 5000;

using Reader = ControlledBrowserReader;

const BrowserPage s1 =
    Reader::page(LinkBrowser::safari, 1, 1, QStringLiteral("One"), QStringLiteral("https://one.example/"));
const BrowserPage s2 =
    Reader::page(LinkBrowser::safari, 2, 1, QStringLiteral("Two"), QStringLiteral("https://two.example/"));
const BrowserPage c1 = Reader::page(LinkBrowser::chrome, 1, 1, QStringLiteral("Three"),
                                    QStringLiteral("https://three.example/"));
const BrowserPage e1 =
    Reader::page(LinkBrowser::edge, 1, 1, QStringLiteral("Four"), QStringLiteral("https://four.example/"));
const QList<BrowserPage> allPages{s1, s2, c1, e1};

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// What the bar asked for and how the shelf's selection ended.
struct Outcome {
    QList<QList<BrowserPage>> pastes;
    QList<QList<BrowserPage>> copies;
    QSet<QString> selected;
    std::optional<QString> focused;
    bool stillShown = true;
};

class BrowserShelfKeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.load(BarFixture::texts(3));
        fixture.browsers.setPages(LinkBrowser::safari, {s1, s2});
        fixture.browsers.setPages(LinkBrowser::chrome, {c1});
        fixture.browsers.setPages(LinkBrowser::edge, {e1});
        bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
        QObject::connect(bar.get(), &BarWindowController::browserPagesPasteRequested, bar.get(),
                         [this](const QList<BrowserPage>& pages) { outcome.pastes.append(pages); });
        QObject::connect(bar.get(), &BarWindowController::browserPagesCopyRequested, bar.get(),
                         [this](const QList<BrowserPage>& pages) { outcome.copies.append(pages); });
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
        bar->view()->setSource(BarSource::browserShelf());
        refreshAndWait();
    }

    void refreshAndWait()
    {
        fixture.shelf.refresh();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.shelf.isLoading(); }, generousWaitMs));
    }

    void press(const Key& key) { QTest::keyClick(bar->view()->searchField(), key.key, key.modifiers); }

    Outcome outcomeNow()
    {
        outcome.selected = fixture.shelf.selectedIDs();
        outcome.focused = fixture.shelf.focusedID();
        outcome.stillShown = bar->phase().isVisible();
        return outcome;
    }

    BarFixture fixture;
    std::unique_ptr<BarWindowController> bar;
    Outcome outcome;
};

TEST_F(BrowserShelfKeyboardTest, EveryShelfKeyActsOnTheModel)
{
    struct Case {
        const char* name;
        QList<Key> keys;
        QList<QList<BrowserPage>> pastes;
        QList<QList<BrowserPage>> copies;
        QSet<QString> selected;
        std::optional<QString> focused;
        bool stillShown;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Case cases[] = {
        {"Right moves to the neighbour", {{Qt::Key_Right}}, {}, {}, {s2.id}, s2.id, true},
        {"Right stops at the last page",
         {{Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Right}},
         {},
         {},
         {e1.id},
         e1.id,
         true},
        {"Left stops at the first page", {{Qt::Key_Left}}, {}, {}, {s1.id}, s1.id, true},
        {"Right then Left", {{Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_Left}}, {}, {}, {s2.id}, s2.id, true},
        {"Ctrl+A selects every page", {{Qt::Key_A, ctrl}}, {}, {}, {s1.id, s2.id, c1.id, e1.id}, s1.id, true},
        {"Return pastes the selection",
         {{Qt::Key_Right}, {Qt::Key_Return}},
         {{s2}},
         {},
         {s2.id},
         s2.id,
         true},
        {"Shift+Return pastes the same",
         {{Qt::Key_Return, Qt::ShiftModifier}},
         {{s1}},
         {},
         {s1.id},
         s1.id,
         true},
        {"Return after Ctrl+A pastes all in shelf order",
         {{Qt::Key_A, ctrl}, {Qt::Key_Enter, Qt::KeypadModifier}},
         {allPages},
         {},
         {s1.id, s2.id, c1.id, e1.id},
         s1.id,
         true},
        {"Ctrl+C copies the selection",
         {{Qt::Key_Right}, {Qt::Key_C, ctrl}},
         {},
         {{s2}},
         {s2.id},
         s2.id,
         true},
        {"Ctrl+A, Ctrl+C copies all",
         {{Qt::Key_A, ctrl}, {Qt::Key_C, ctrl}},
         {},
         {allPages},
         {s1.id, s2.id, c1.id, e1.id},
         s1.id,
         true},
        {"Ctrl+3 pastes the third page", {{Qt::Key_3, ctrl}}, {{c1}}, {}, {s1.id}, s1.id, true},
        {"Ctrl+Shift+4 pastes the fourth",
         {{Qt::Key_4, ctrl | Qt::ShiftModifier}},
         {{e1}},
         {},
         {s1.id},
         s1.id,
         true},
        {"Ctrl+5 is beyond the last page", {{Qt::Key_5, ctrl}}, {}, {}, {s1.id}, s1.id, true},
        {"Escape with one selected hides", {{Qt::Key_Escape}}, {}, {}, {s1.id}, s1.id, false},
        {"Escape with two selected reselects the first",
         {{Qt::Key_Right}, {Qt::Key_Right}, {Qt::Key_A, ctrl}, {Qt::Key_Escape}},
         {},
         {},
         {s1.id},
         s1.id,
         true},
        {"Escape twice after Ctrl+A hides",
         {{Qt::Key_A, ctrl}, {Qt::Key_Escape}, {Qt::Key_Escape}},
         {},
         {},
         {s1.id},
         s1.id,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        outcome = {};
        if (!bar->phase().isVisible()) {
            bar->show();
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
        }
        fixture.shelf.selectFirst();
        for (const Key& key : c.keys)
            press(key);
        const Outcome got = outcomeNow();
        EXPECT_EQ(got.pastes, c.pastes);
        EXPECT_EQ(got.copies, c.copies);
        EXPECT_EQ(got.selected, c.selected);
        EXPECT_EQ(got.focused, c.focused);
        EXPECT_EQ(got.stillShown, c.stillShown);
        EXPECT_TRUE(bar->view()->searchField()->text().isEmpty()) << "no shelf key reaches the search";
    }
}

TEST_F(BrowserShelfKeyboardTest, EscapeWithNothingSelectedHides)
{
    fixture.shelf.setSelectedIDs({});
    press({Qt::Key_Escape});
    EXPECT_FALSE(bar->phase().isVisible());
}

TEST_F(BrowserShelfKeyboardTest, ArrowsStartFromTheFirstPageWhenTheFocusIsNotVisible)
{
    fixture.shelf.setFocusedID(QStringLiteral("chrome:9:9"));
    press({Qt::Key_Right});
    EXPECT_EQ(fixture.shelf.focusedID(), s2.id);
    fixture.shelf.setFocusedID(std::nullopt);
    press({Qt::Key_Left});
    EXPECT_EQ(fixture.shelf.focusedID(), s1.id);
}

TEST_F(BrowserShelfKeyboardTest, CtrlRReadsTheBrowsersAgain)
{
    const int before = fixture.browsers.started();
    fixture.shelf.select(e1.id, false);
    fixture.browsers.setPages(LinkBrowser::safari, {});
    press({Qt::Key_R, Qt::ControlModifier});
    EXPECT_TRUE(fixture.shelf.isLoading());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.shelf.isLoading(); }, generousWaitMs));
    EXPECT_EQ(fixture.browsers.started(), before + 3);
    EXPECT_EQ(fixture.shelf.pages(), (QList<BrowserPage>{c1, e1}));
    EXPECT_EQ(fixture.shelf.focusedID(), c1.id) << "a new session starts from the first page";
}

TEST_F(BrowserShelfKeyboardTest, OtherKeysGoToTheSearchAndBecomeTheQuery)
{
    QTest::keyClicks(bar->view()->searchField(), QStringLiteral("four"));
    EXPECT_EQ(bar->view()->searchField()->text(), QStringLiteral("four"));
    EXPECT_EQ(fixture.shelf.query(), QStringLiteral("four"));
    press({Qt::Key_1, Qt::ControlModifier});
    EXPECT_EQ(outcome.pastes, QList<QList<BrowserPage>>{{e1}}) << "numbers count the visible pages";
    press({Qt::Key_Return, Qt::ControlModifier});
    EXPECT_EQ(outcome.pastes.size(), 1) << "the ask shortcut does nothing on the shelf";
}

TEST_F(BrowserShelfKeyboardTest, OnTheHistoryTheShelfShortcutsStayWithTheSearchField)
{
    bar->view()->setSource(BarSource::history());
    const int reads = fixture.browsers.started();
    QTest::keyClicks(bar->view()->searchField(), QStringLiteral("Clip"));
    press({Qt::Key_A, Qt::ControlModifier});
    EXPECT_EQ(bar->view()->searchField()->selectedText(), QStringLiteral("Clip"));
    press({Qt::Key_R, Qt::ControlModifier});
    press({Qt::Key_C, Qt::ControlModifier});
    EXPECT_EQ(fixture.browsers.started(), reads);
    EXPECT_TRUE(outcome.copies.isEmpty());
    EXPECT_TRUE(outcome.pastes.isEmpty());
}

TEST(BrowserShelfKeyTest, CommandLettersGoByThePhysicalKey)
{
    // X key codes are evdev scan codes plus 8: A is 30, R 19, C 46, Q 16.
    constexpr quint32 keyA = 38;
    constexpr quint32 keyR = 27;
    constexpr quint32 keyC = 54;
    constexpr quint32 keyQ = 24;
    using Kind = BarKeyCommand::Kind;
    struct Case {
        const char* name;
        Qt::Key key;
        quint32 nativeKey;
        Qt::KeyboardModifiers modifiers;
        Kind kind;
    };
    const Case cases[] = {
        {"Ctrl+A", Qt::Key_A, keyA, Qt::ControlModifier, Kind::selectAll},
        {"Ctrl+R", Qt::Key_R, keyR, Qt::ControlModifier, Kind::refresh},
        {"Ctrl+C", Qt::Key_C, keyC, Qt::ControlModifier, Kind::copy},
        {"the A place on an AZERTY keyboard", Qt::Key_Q, keyA, Qt::ControlModifier, Kind::selectAll},
        {"the Q place typing A", Qt::Key_A, keyQ, Qt::ControlModifier, Kind::none},
        {"Ctrl+Shift+A", Qt::Key_A, keyA, Qt::ControlModifier | Qt::ShiftModifier, Kind::none},
        {"Alt+C", Qt::Key_C, keyC, Qt::AltModifier, Kind::none},
        {"plain C", Qt::Key_C, keyC, Qt::NoModifier, Kind::none},
        {"Ctrl+A without a scan code", Qt::Key_A, 0, Qt::ControlModifier, Kind::selectAll},
    };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.nativeKey, 0, 0);
        EXPECT_EQ(BarKeyCommand::of(event, {}).kind, c.kind) << c.name;
    }
}

// A user who types a title word and Return before the browsers have answered gets that page
// pasted once they have; a key or a hide in between calls it off.
TEST_F(BrowserShelfKeyboardTest, ReturnBeforeTheBrowsersAnswerPastesOnceTheyHave)
{
    const struct {
        const char* name;
        std::function<void()> between;
        QList<QList<BrowserPage>> pastes;
    } cases[] = {
        {"nothing", [] {}, {{c1}}},
        {"another key", [this] { press({Qt::Key_Right}); }, {}},
        {"hidden", [this] { bar->hide(); }, {}},
    };
    for (const auto& c : cases) {
        outcome = {};
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
        bar->view()->setSource(BarSource::browserShelf());
        fixture.browsers.hold();
        fixture.shelf.refresh();
        QTest::keyClicks(bar->view()->searchField(), QStringLiteral("three"));
        press({Qt::Key_Return});
        c.between();
        EXPECT_TRUE(outcome.pastes.isEmpty()) << c.name;
        fixture.browsers.release();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.shelf.isLoading(); }, generousWaitMs));
        EXPECT_EQ(outcome.pastes, c.pastes) << c.name;
        bar->view()->searchField()->clear();
    }
}

} // namespace
