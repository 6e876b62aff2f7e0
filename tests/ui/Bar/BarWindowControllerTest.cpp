#include "BarFixture.h"

#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/ClipStripView.h"
#include "fakes/FakeWorkspace.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

namespace {

constexpr int generousWaitMs = 5000;

bool waitForPhase(const BarWindowController& bar, BarPhaseKind kind)
{
    return QTest::qWaitFor([&] { return bar.phase().kind == kind; }, generousWaitMs);
}

class BarWindowControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.load(BarFixture::texts(3));
        bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
    }

    BarFixture fixture;
    std::unique_ptr<BarWindowController> bar;
};

TEST_F(BarWindowControllerTest, IsAFramelessToolWindowAboveOthers)
{
    const Qt::WindowFlags flags = bar->window()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::Tool));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(bar->window()->isVisible());
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hidden, 0}));
}

TEST_F(BarWindowControllerTest, SlidesUpToTheFullWidthOfTheScreenAndBackOut)
{
    fixture.settings.setBarHeight(300);
    QSignalSpy changes(bar.get(), &BarWindowController::phaseChanged);
    bar->show();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::showing, 1}));
    EXPECT_TRUE(bar->phase().isVisible());
    EXPECT_TRUE(bar->window()->isVisible());
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(bar->window()->y(), available.bottom() + 1 - 300);

    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::shown, 1}));
    EXPECT_EQ(bar->window()->geometry(),
              QRect(available.left(), available.bottom() + 1 - 300, available.width(), 300));
    EXPECT_EQ(changes.count(), 2);

    bar->hide();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hiding, 2}));
    EXPECT_FALSE(bar->phase().isVisible());
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::hidden));
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hidden, 2}));
    EXPECT_FALSE(bar->window()->isVisible());
    EXPECT_EQ(changes.count(), 4);
}

TEST_F(BarWindowControllerTest, HideActsOnlyFromShowingOrShown)
{
    QSignalSpy changes(bar.get(), &BarWindowController::phaseChanged);
    bar->hide();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hidden, 0}));
    EXPECT_EQ(changes.count(), 0);

    bar->show();
    bar->hide();
    bar->hide();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hiding, 2}));
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::hidden));
    EXPECT_FALSE(bar->window()->isVisible());
}

TEST_F(BarWindowControllerTest, QuickTogglesEndInTheStateOfTheLastOne)
{
    bar->show();
    bar->hide();
    bar->show();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::showing, 3}));
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    // Long enough for every earlier slide to have ended, had it kept running.
    QTest::qWait(int((BarWindowController::showDuration + BarWindowController::hideDuration).count()) * 2);
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::shown, 3}));
    EXPECT_TRUE(bar->window()->isVisible());
    EXPECT_EQ(bar->window()->geometry(), bar->shownGeometry());

    bar->hide();
    bar->show();
    bar->hide();
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::hidden));
    QTest::qWait(int(BarWindowController::showDuration.count()) * 2);
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hidden, 6}));
    EXPECT_FALSE(bar->window()->isVisible());
}

TEST_F(BarWindowControllerTest, ALateCompletionOfAnEarlierSlideChangesNothing)
{
    bar->show();
    const QPointer<QVariantAnimation> showSlide = bar->findChild<QVariantAnimation*>();
    ASSERT_TRUE(showSlide);
    bar->hide();
    ASSERT_TRUE(showSlide); // deleted only once the event loop runs
    emit showSlide->finished();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hiding, 2}));

    const QList<QVariantAnimation*> slides = bar->findChildren<QVariantAnimation*>();
    const QPointer<QVariantAnimation> hideSlide = slides.last();
    bar->show();
    emit hideSlide->finished();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::showing, 3}));
    EXPECT_TRUE(bar->window()->isVisible());
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    EXPECT_EQ(bar->phase().epoch, 3u);
}

TEST_F(BarWindowControllerTest, ShowingAgainWhileShownStartsNoNewSlide)
{
    bar->show();
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    QSignalSpy changes(bar.get(), &BarWindowController::phaseChanged);
    bar->show();
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::shown, 1}));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(BarWindowControllerTest, HidesWhenItStopsBeingTheActiveWindowOnlyWhenThePreferenceSaysSo)
{
    bar->show();
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    fixture.settings.setHideOnClickOutside(false);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(bar->window(), &deactivate);
    EXPECT_EQ(bar->phase().kind, BarPhaseKind::shown);

    fixture.settings.setHideOnClickOutside(true);
    QApplication::sendEvent(bar->window(), &deactivate);
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hiding, 2}));
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::hidden));

    QApplication::sendEvent(bar->window(), &deactivate);
    EXPECT_EQ(bar->phase(), (BarPhase{BarPhaseKind::hidden, 2}));
}

TEST_F(BarWindowControllerTest, TakesTheKeyboardFocusInTheSearchFieldWhenShown)
{
    bar->show();
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->window()->isActiveWindow(); }, generousWaitMs));
    EXPECT_EQ(QApplication::focusWidget(), bar->view()->searchField());
}

TEST_F(BarWindowControllerTest, FollowsTheBarHeightPreferenceWhileShown)
{
    bar->show();
    ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::shown));
    fixture.settings.setBarHeight(420);
    EXPECT_EQ(bar->window()->height(), 420);
    EXPECT_EQ(bar->window()->geometry().bottom(),
              QGuiApplication::primaryScreen()->availableGeometry().bottom());
}

TEST_F(BarWindowControllerTest, ResetForShowClearsTheSearchShowsTheHistoryAndSelectsTheFirstClip)
{
    const QUuid pinboard = fixture.store->addPinboard(QStringLiteral("Work"), QStringLiteral("#3366FF"));
    fixture.store->pin(fixture.store->history().at(2).id, pinboard);
    bar->view()->setSource(BarSource::pinboard(pinboard));
    bar->view()->searchField()->setText(QStringLiteral("number"));
    fixture.store->setSelection({fixture.store->history().at(1).id});

    bar->resetForShow();
    EXPECT_TRUE(bar->view()->searchField()->text().isEmpty());
    EXPECT_EQ(bar->view()->source(), BarSource::history());
    EXPECT_EQ(bar->view()->shownClips(), fixture.store->history());
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{fixture.store->history().at(0).id});
    EXPECT_EQ(bar->view()->strip()->selectedIndex(), 0);
}

TEST_F(BarWindowControllerTest, SlidesOnlyWhereEveryFrameOfTheSlideIsDrawnWhole)
{
    for (const bool compositing : {false, true}) {
        SCOPED_TRACE(compositing ? "compositing" : "no compositor");
        FakeWorkspace workspace;
        workspace.compositing = compositing;
        Platform::setWorkspaceForTesting(&workspace);
        bar->show();
        QSet<int> tops{bar->window()->y()};
        while (bar->phase().kind != BarPhaseKind::shown && tops.size() < 1000) {
            QTest::qWait(1);
            tops.insert(bar->window()->y());
        }
        Platform::setWorkspaceForTesting(nullptr);
        if (compositing)
            EXPECT_GT(tops.size(), 1);
        else
            EXPECT_EQ(tops, QSet<int>{bar->shownGeometry().top()});
        bar->hide();
        ASSERT_TRUE(waitForPhase(*bar, BarPhaseKind::hidden));
    }
}

} // namespace
