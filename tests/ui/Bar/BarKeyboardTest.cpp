#include "BarFixture.h"

#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/ClipStripView.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int generousWaitMs = 5000;
constexpr int clipCount = 30;

class BarKeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.load(BarFixture::texts(clipCount));
        bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(bar->view()->searchField(), Qt::Key(key), modifiers);
    }

    const ClipItem& clip(int index) const { return fixture.store->history().at(index); }

    // The items and format of the only paste request so far.
    std::pair<QList<ClipItem>, PasteFormat> onlyPaste(const QSignalSpy& spy) const
    {
        EXPECT_EQ(spy.count(), 1);
        if (spy.isEmpty())
            return {};
        return {spy.at(0).at(0).value<QList<ClipItem>>(), spy.at(0).at(1).value<PasteFormat>()};
    }

    BarFixture fixture;
    std::unique_ptr<BarWindowController> bar;
};

TEST_F(BarKeyboardTest, LeftAndRightMoveTheSelectionAndStopAtTheEnds)
{
    press(Qt::Key_Left);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(0).id});
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(2).id});
    EXPECT_EQ(bar->view()->strip()->selectedIndex(), 2);
    press(Qt::Key_Left);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(1).id});
    for (int i = 0; i < clipCount + 5; ++i)
        press(Qt::Key_Right);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(clipCount - 1).id});
    const ClipStripView* strip = bar->view()->strip();
    EXPECT_TRUE(strip->viewport()->rect().contains(strip->cardRect(clipCount - 1)));
    EXPECT_TRUE(bar->view()->searchField()->text().isEmpty());
}

// Delete takes the chosen clip out and the next one takes its place; Ctrl+Z puts it back.
// Text selected or after the search field's caret keeps Delete for itself.
TEST_F(BarKeyboardTest, DeleteRemovesTheChosenClipAndUndoPutsItBack)
{
    const ClipItem second = clip(1);
    const ClipItem third = clip(2);
    press(Qt::Key_Right);
    press(Qt::Key_Delete);
    EXPECT_EQ(fixture.store->history().size(), clipCount - 1);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{third.id});
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(fixture.store->history().size(), clipCount);
    EXPECT_EQ(clip(1).id, second.id);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{second.id});

    press(Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(fixture.store->history().size(), clipCount - 1);
    EXPECT_FALSE(fixture.store->canUndoDelete()) << "Alt skips Undo";

    BarSearchField* field = bar->view()->searchField();
    QTest::keyClicks(field, QStringLiteral("number"));
    field->setCursorPosition(2);
    press(Qt::Key_Delete);
    EXPECT_EQ(field->text(), QStringLiteral("nuber"));
    field->selectAll();
    press(Qt::Key_Delete);
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(fixture.store->history().size(), clipCount - 1);
}

// Each opening starts the search with nothing to undo: Ctrl+Z with no deletion waiting never
// brings back a search of an earlier opening.
TEST_F(BarKeyboardTest, UndoInANewOpeningDoesNotBringBackAnEarlierSearch)
{
    BarSearchField* field = bar->view()->searchField();
    QTest::keyClicks(field, QStringLiteral("number 2"));
    press(Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::hidden; }, generousWaitMs));
    bar->resetForShow();
    bar->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));

    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(bar->view()->shownClips().size(), clipCount);
}

TEST_F(BarKeyboardTest, ReturnPastesTheSelectedClipAsCapturedOrAsPlainTextWithTheModifier)
{
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    auto [items, format] = onlyPaste(pastes);
    EXPECT_EQ(items, QList<ClipItem>{clip(1)});
    EXPECT_EQ(format, PasteFormat::asCaptured);

    pastes.clear();
    press(Qt::Key_Return, Qt::ShiftModifier);
    std::tie(items, format) = onlyPaste(pastes);
    EXPECT_EQ(items, QList<ClipItem>{clip(1)});
    EXPECT_EQ(format, PasteFormat::plainText);

    pastes.clear();
    fixture.settings.setPlainTextModifier(RivEVShortcut::optionMask);
    press(Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(onlyPaste(pastes).second, PasteFormat::plainText);
    pastes.clear();
    press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(onlyPaste(pastes).second, PasteFormat::asCaptured);
}

TEST_F(BarKeyboardTest, QuickPasteNumbersPasteTheNthCardInView)
{
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_3, Qt::ControlModifier);
    auto [items, format] = onlyPaste(pastes);
    EXPECT_EQ(items, QList<ClipItem>{clip(2)});
    EXPECT_EQ(format, PasteFormat::asCaptured);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(2).id});

    pastes.clear();
    press(Qt::Key_1, Qt::ControlModifier | Qt::ShiftModifier);
    std::tie(items, format) = onlyPaste(pastes);
    EXPECT_EQ(items, QList<ClipItem>{clip(0)});
    EXPECT_EQ(format, PasteFormat::plainText);

    pastes.clear();
    ClipStripView* strip = bar->view()->strip();
    strip->horizontalScrollBar()->setValue(strip->horizontalScrollBar()->maximum());
    const qsizetype first = strip->firstIndexInView();
    ASSERT_GT(first, 0);
    press(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(onlyPaste(pastes).first, QList<ClipItem>{clip(int(first) + 1)});

    pastes.clear();
    press(Qt::Key_2);
    EXPECT_EQ(pastes.count(), 0);
    EXPECT_EQ(bar->view()->searchField()->text(), QStringLiteral("2"));
}

// Tab and Shift+Tab step through History and the pinboards, round at either end; without
// pinboards Tab is left alone.
TEST_F(BarKeyboardTest, TabStepsThroughHistoryAndThePinboards)
{
    QSignalSpy requests(bar.get(), &BarWindowController::sourceRequested);
    press(Qt::Key_Tab);
    EXPECT_EQ(requests.count(), 0);

    Pinboard work;
    work.name = QStringLiteral("Work");
    Pinboard home;
    home.name = QStringLiteral("Home");
    bar.reset();
    fixture.load(BarFixture::texts(2), {work, home});
    bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
    QObject::connect(bar.get(), &BarWindowController::sourceRequested, bar->view(), &BarView::setSource);
    bar->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        BarSource shown;
    } steps[] = {
        {Qt::Key_Tab, Qt::NoModifier, BarSource::pinboard(work.id)},
        {Qt::Key_Tab, Qt::NoModifier, BarSource::pinboard(home.id)},
        {Qt::Key_Tab, Qt::NoModifier, BarSource::history()},
        {Qt::Key_Backtab, Qt::ShiftModifier, BarSource::pinboard(home.id)},
    };
    for (const auto& step : steps) {
        press(step.key, step.modifiers);
        EXPECT_EQ(bar->view()->source(), step.shown);
    }
}

TEST_F(BarKeyboardTest, QuickPasteBeyondTheLastCardDoesNothing)
{
    bar.reset();
    fixture.load(BarFixture::texts(2));
    bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
    bar->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(pastes.count(), 0);
    EXPECT_TRUE(bar->view()->searchField()->text().isEmpty());
}

TEST_F(BarKeyboardTest, EscapeHides)
{
    press(Qt::Key_Escape);
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hiding, 2}));
}

TEST_F(BarKeyboardTest, TheAskShortcutAsksAboutTheSelection)
{
    QSignalSpy asks(bar.get(), &BarWindowController::askAIRequested);
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_Right);
    press(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(asks.count(), 1);
    EXPECT_EQ(asks.at(0).at(0).value<QList<ClipItem>>(), QList<ClipItem>{clip(1)});
    EXPECT_EQ(pastes.count(), 0);

    fixture.settings.setAskAIShortcut(RivEVShortcut{0, RivEVShortcut::optionMask});
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(asks.count(), 1);
    EXPECT_EQ(pastes.count(), 1);
    press(Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(asks.count(), 2);
}

TEST_F(BarKeyboardTest, TypedTextGoesToTheSearchAndFiltersTheCards)
{
    QTest::keyClicks(bar->view()->searchField(), QStringLiteral("number 2"));
    EXPECT_EQ(bar->view()->searchField()->text(), QStringLiteral("number 2"));
    // "Clip number 2" and "Clip number 20" … "Clip number 29".
    EXPECT_EQ(bar->view()->shownClips().size(), 11);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(2).id});

    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    EXPECT_EQ(onlyPaste(pastes).first, QList<ClipItem>{clip(20)});
}

TEST_F(BarKeyboardTest, WithoutTheKeyMonitorKeysStayWithTheSearchField)
{
    bar->setKeyMonitorEnabled(false);
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    press(Qt::Key_Escape);
    EXPECT_EQ(pastes.count(), 0);
    EXPECT_EQ(bar->phase().kind, BarPhaseKind::shown);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{clip(0).id});

    bar->setKeyMonitorEnabled(true);
    press(Qt::Key_Return);
    EXPECT_EQ(pastes.count(), 1);
}

TEST_F(BarKeyboardTest, KeysDoNothingOnceHiding)
{
    bar->hide();
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    press(Qt::Key_Return);
    EXPECT_EQ(pastes.count(), 0);
}

} // namespace
