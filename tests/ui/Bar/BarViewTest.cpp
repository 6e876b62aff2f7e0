#include "BarFixture.h"

#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/BarWindowController.h"
#include "UI/Bar/ClipStripView.h"
#include "UI/Bar/PinboardTabs.h"
#include "UI/Theme.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTooltip.h"
#include "Util/AppIconProvider.h"
#include "fakes/FakeWorkspace.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int generousWaitMs = 5000;

class BarViewTest : public testing::Test {
protected:
    void showBar()
    {
        bar = std::make_unique<BarWindowController>(*fixture.store, fixture.settings, fixture.shelf);
        // The owner of the bar switches its source on request.
        QObject::connect(bar.get(), &BarWindowController::sourceRequested, bar->view(), &BarView::setSource);
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
    }

    void hideBar()
    {
        bar->hide();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::hidden; }, generousWaitMs));
    }
    void reshowBar()
    {
        bar->resetForShow();
        bar->show();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
    }

    BarView& view() const { return *bar->view(); }
    QString emptyLabelText() const { return view().findChild<QLabel*>()->text(); }

    BarFixture fixture;
    std::unique_ptr<BarWindowController> bar;
};

TEST_F(BarViewTest, SaysWhyTheStripIsEmpty)
{
    fixture.load({});
    showBar();
    EXPECT_TRUE(view().shownClips().isEmpty());
    EXPECT_EQ(emptyLabelText(), QStringLiteral("No clips yet. Copy something to see it here."));
    EXPECT_TRUE(view().findChild<QLabel*>()->isVisible());
    EXPECT_FALSE(view().strip()->isVisible());
    EXPECT_TRUE(fixture.store->selection().isEmpty());

    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    QSignalSpy asks(bar.get(), &BarWindowController::askAIRequested);
    QTest::keyClick(view().searchField(), Qt::Key_Right);
    QTest::keyClick(view().searchField(), Qt::Key_Return);
    QTest::keyClick(view().searchField(), Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(view().searchField(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(pastes.count(), 0);
    EXPECT_EQ(asks.count(), 0);

    fixture.store->addCaptured(BarFixture::text(QStringLiteral("first copy")));
    EXPECT_EQ(view().shownClips().size(), 1);
    EXPECT_TRUE(view().strip()->isVisible());
    EXPECT_TRUE(view().emptyText().isEmpty());
}

TEST_F(BarViewTest, SaysWhenTheSearchMatchesNothingAndInAnotherLanguage)
{
    fixture.load(BarFixture::texts(3));
    showBar();
    view().searchField()->setText(QStringLiteral("zzz"));
    EXPECT_EQ(emptyLabelText(), QStringLiteral("No matches"));
    Localization::shared().setLanguage(AppLanguage::chinese);
    EXPECT_EQ(emptyLabelText(), QStringLiteral("没有匹配的结果"));
    EXPECT_EQ(view().searchField()->placeholderText(), QStringLiteral("搜索剪贴项"));
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(view().searchField()->placeholderText(), QStringLiteral("Search clips"));
}

TEST_F(BarViewTest, PinboardTabsAppearWithPinboardsAndSwitchTheSource)
{
    fixture.load(BarFixture::texts(4));
    showBar();
    EXPECT_FALSE(view().tabs()->isVisible());

    const QUuid work = fixture.store->addPinboard(QStringLiteral("Work"), QStringLiteral("#3366FF"));
    const QUuid empty = fixture.store->addPinboard(QStringLiteral("Later"), QStringLiteral("#33AA55"));
    fixture.store->pin(fixture.store->history().at(3).id, work);
    ASSERT_TRUE(view().tabs()->isVisible());
    ASSERT_EQ(view().tabs()->count(), 3);
    EXPECT_EQ(view().tabs()->title(0), QStringLiteral("History"));
    EXPECT_EQ(view().tabs()->title(1), QStringLiteral("Work"));
    EXPECT_EQ(view().tabs()->title(2), QStringLiteral("Later"));

    QTest::mouseClick(view().tabs(), Qt::LeftButton, {}, view().tabs()->tabRect(1).center());
    EXPECT_EQ(view().source(), BarSource::pinboard(work));
    ASSERT_EQ(view().shownClips().size(), 1);
    EXPECT_EQ(view().shownClips().at(0).text, fixture.store->history().at(3).text);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{view().shownClips().at(0).id});

    QTest::mouseClick(view().tabs(), Qt::LeftButton, {}, view().tabs()->tabRect(2).center());
    EXPECT_EQ(view().source(), BarSource::pinboard(empty));
    EXPECT_EQ(emptyLabelText(), QStringLiteral("This pinboard is empty"));

    QTest::mouseClick(view().tabs(), Qt::LeftButton, {}, view().tabs()->tabRect(0).center());
    EXPECT_EQ(view().source(), BarSource::history());
    EXPECT_EQ(view().shownClips().size(), 4);
}

TEST_F(BarViewTest, ARemovedPinboardFallsBackToTheHistory)
{
    fixture.load(BarFixture::texts(2));
    showBar();
    const QUuid work = fixture.store->addPinboard(QStringLiteral("Work"), QStringLiteral("#3366FF"));
    view().setSource(BarSource::pinboard(work));
    ASSERT_EQ(view().source(), BarSource::pinboard(work));
    fixture.store->removePinboard(work);
    EXPECT_EQ(view().source(), BarSource::history());
    EXPECT_EQ(view().shownClips().size(), 2);
    EXPECT_FALSE(view().tabs()->isVisible());

    view().setSource(BarSource::pinboard(QUuid::createUuid()));
    EXPECT_EQ(view().source(), BarSource::history());
}

TEST_F(BarViewTest, AClickOnACardPastesIt)
{
    fixture.load(BarFixture::texts(5));
    showBar();
    QSignalSpy pastes(bar.get(), &BarWindowController::pasteRequested);
    ClipStripView* strip = view().strip();
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, strip->cardRect(1).center());
    ASSERT_EQ(pastes.count(), 1);
    EXPECT_EQ(pastes.at(0).at(0).value<QList<ClipItem>>(), QList<ClipItem>{fixture.store->history().at(1)});
    EXPECT_EQ(pastes.at(0).at(1).value<PasteFormat>(), PasteFormat::asCaptured);
    EXPECT_EQ(fixture.store->selection(), QList<QUuid>{fixture.store->history().at(1).id});

    const QPoint gap(strip->cardRect(1).right() + ClipStripView::spacing / 2,
                     strip->cardRect(1).center().y());
    QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, gap);
    QTest::mouseClick(strip->viewport(), Qt::RightButton, {}, strip->cardRect(2).center());
    EXPECT_EQ(pastes.count(), 1);
}

TEST_F(BarViewTest, TheWheelScrollsTheStripSideways)
{
    fixture.load(BarFixture::texts(40));
    showBar();
    ClipStripView* strip = view().strip();
    ASSERT_GT(strip->horizontalScrollBar()->maximum(), 0);
    const QPoint at = strip->viewport()->rect().center();
    QWheelEvent down(at, strip->viewport()->mapToGlobal(at), {}, QPoint(0, -240), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(strip->viewport(), &down);
    EXPECT_EQ(strip->horizontalScrollBar()->value(), 240);
    QWheelEvent up(at, strip->viewport()->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(strip->viewport(), &up);
    EXPECT_EQ(strip->horizontalScrollBar()->value(), 120);
}

TEST_F(BarViewTest, PaintsOnlyTheCardsInView)
{
    fixture.load(BarFixture::texts(ClipboardStore::historyCeiling));
    showBar();
    ClipStripView* strip = view().strip();
    EXPECT_EQ(view().shownClips().size(), ClipboardStore::historyCeiling);
    EXPECT_TRUE(strip->findChildren<QWidget*>().size() < 10);
    EXPECT_FALSE(strip->cardRect(strip->firstIndexInView() + 20).intersects(strip->viewport()->rect()));
    QTest::keyClicks(view().searchField(), QStringLiteral("4999"));
    // The cards of a long history follow the typing.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().shownClips().size() == 1; }, 5000));
    EXPECT_EQ(view().shownClips().at(0).text, QStringLiteral("Clip number 4999"));
}

TEST_F(BarViewTest, AHugeTextClipShowsItsHeadAndCanBeFound)
{
    ClipItem huge = BarFixture::text(QString(10 * 1024 * 1024, u'a') + QStringLiteral(" tail"));
    fixture.load({huge, BarFixture::text(QStringLiteral("small"))});
    showBar();
    const ClipCardView card = view().strip()->cardView(0);
    EXPECT_LE(card.content.preview.size(), ClipCardContent::maxPreviewCharacters);
    QImage image(view().strip()->viewport()->size(), QImage::Format_ARGB32);
    view().strip()->viewport()->render(&image);
    QTest::keyClicks(view().searchField(), QStringLiteral("TAIL"));
    ASSERT_EQ(view().shownClips().size(), 1);
    EXPECT_EQ(view().shownClips().at(0).id, huge.id);
}

TEST_F(BarViewTest, AnImageWhoseFileIsGoneShowsAPlaceholder)
{
    const QString imagesDir = QDir(fixture.dataDir.path()).filePath(QStringLiteral("images"));
    QDir().mkpath(imagesDir);
    QImage red(64, 32, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QDir(imagesDir).filePath(QStringLiteral("aaaa.png"))));
    ClipItem present;
    present.type = ClipType::image;
    present.imageHash = QStringLiteral("aaaa");
    present.imageFileName = QStringLiteral("aaaa.png");
    ClipItem gone = present;
    gone.id = QUuid::createUuid();
    gone.imageHash = QStringLiteral("bbbb");
    gone.imageFileName = QStringLiteral("bbbb.png");
    fixture.load({present, gone});
    showBar();

    ClipStripView* strip = view().strip();
    strip->cardView(0);
    strip->cardView(1);
    strip->thumbnails().waitForLoads();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return strip->cardView(0).imageState == ClipCardView::ImageState::ready &&
                   strip->cardView(1).imageState != ClipCardView::ImageState::loading;
        },
        generousWaitMs));
    const ClipCardView shown = strip->cardView(0);
    EXPECT_EQ(shown.thumbnail.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_LE(shown.thumbnail.width(), 64);
    EXPECT_EQ(strip->cardView(1).imageState, ClipCardView::ImageState::missing);
}

TEST_F(BarViewTest, CardsShowTheSourceAndTheRelativeTime)
{
    ClipItem clip = BarFixture::text(QStringLiteral("hello"));
    clip.createdAt = QDateTime::currentDateTimeUtc().addSecs(-5 * 60);
    fixture.load({clip});
    showBar();
    ClipStripView* strip = view().strip();
    const QDateTime fixed = QDateTime::currentDateTimeUtc();
    strip->setClock([fixed] { return fixed; });
    const ClipCardView card = strip->cardView(0);
    EXPECT_EQ(card.timeText, QStringLiteral("5 min ago"));
    EXPECT_EQ(card.content.title, QStringLiteral("Text"));
    EXPECT_EQ(card.content.preview, QStringLiteral("hello"));
    EXPECT_TRUE(card.selected);
    EXPECT_EQ(card.quickPasteNumber, 1);
    EXPECT_TRUE(card.sourceColor.isValid());
    EXPECT_FALSE(card.appIcon.isNull());
}

TEST_F(BarViewTest, TheSettingsButtonAsksForSettings)
{
    fixture.load({});
    showBar();
    QSignalSpy requests(bar.get(), &BarWindowController::settingsRequested);
    VelloraIconButton* button = nullptr;
    for (VelloraIconButton* candidate : view().findChildren<VelloraIconButton*>()) {
        if (candidate->symbolName() == QStringLiteral("slider.horizontal.3"))
            button = candidate;
    }
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(requests.count(), 1);
    EXPECT_EQ(button->findChild<VelloraTooltip*>()->text(), QStringLiteral("Settings"));
}

TEST_F(BarViewTest, TheFirstCardLinesUpWithTheSearchFieldOnTheFirstOpenAfterTheHistoryFilled)
{
    fixture.load({});
    showBar();
    hideBar();
    for (const ClipItem& clip : BarFixture::texts(8))
        fixture.store->addCaptured(clip);
    reshowBar();
    const ClipStripView* strip = view().strip();
    const QPoint card = strip->viewport()->mapTo(&view(), strip->cardRect(0).topLeft());
    EXPECT_EQ(card.x(), view().searchField()->mapTo(&view(), QPoint()).x());
}

TEST_F(BarViewTest, TheClearButtonIsGoneWhenTheBarOpensWithAnEmptySearch)
{
    fixture.load(BarFixture::texts(3));
    showBar();
    // The clear button is the one after the text; the magnifier before it always shows.
    const auto clearButtonShown = [&] {
        const QLineEdit* field = view().searchField();
        const QList<QToolButton*> buttons = field->findChildren<QToolButton*>();
        return std::any_of(buttons.begin(), buttons.end(), [&](QToolButton* b) {
            return b->isVisibleTo(field) && b->geometry().center().x() > field->width() / 2;
        });
    };
    QTest::keyClicks(view().searchField(), QStringLiteral("number"));
    EXPECT_TRUE(QTest::qWaitFor(clearButtonShown, generousWaitMs));
    hideBar();
    // Gone from the reopened bar's first frame, not faded out over the next ones.
    bar->resetForShow();
    EXPECT_TRUE(view().searchField()->text().isEmpty());
    EXPECT_FALSE(clearButtonShown());
    bar->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->phase().kind == BarPhaseKind::shown; }, generousWaitMs));
    EXPECT_FALSE(clearButtonShown());
}

TEST_F(BarViewTest, ACopyWhileShownKeepsTheSelectedClipAndTheCardsWhereTheyAre)
{
    fixture.load(BarFixture::texts(20));
    showBar();
    const QUuid selected = view().selectedClips().first().id;
    ClipStripView* strip = view().strip();
    const QRect place = strip->cardRect(0);
    const int number = strip->cardView(0).quickPasteNumber;
    for (int i = 0; i < 3; ++i)
        fixture.store->addCaptured(BarFixture::text(QStringLiteral("arrived %1").arg(i)));
    ASSERT_EQ(view().shownClips().size(), 23);
    const qsizetype index = view().selectedIndex().value_or(-1);
    ASSERT_EQ(view().shownClips().value(index).id, selected);
    EXPECT_EQ(strip->cardRect(index), place);
    EXPECT_EQ(strip->cardView(index).quickPasteNumber, number);
}

TEST_F(BarViewTest, ASourceWithoutADesktopEntryShowsNeutrallyUnderItsWindowClass)
{
    FakeWorkspace workspace;
    QPixmap green(8, 8);
    green.fill(Qt::green);
    workspace.installed.insert(QStringLiteral("org.example.Editor"),
                               {QStringLiteral("Editor"), {}, QIcon(green)});
    Platform::setWorkspaceForTesting(&workspace);
    AppIconProvider::clearCache();
    ClipItem fromTk = BarFixture::text(QStringLiteral("from a Tk program"), QStringLiteral("Wish"));
    fromTk.sourceBundleID = QStringLiteral("Wish");
    fixture.load({fromTk, BarFixture::text(QStringLiteral("from the editor"))});
    showBar();
    const ClipCardView unknown = view().strip()->cardView(0);
    const ClipCardView known = view().strip()->cardView(1);
    Platform::setWorkspaceForTesting(nullptr);
    AppIconProvider::clearCache();

    EXPECT_EQ(unknown.sourceColor, Theme::neutralHeader().color());
    EXPECT_EQ(unknown.sourceName, QStringLiteral("Wish"));
    EXPECT_TRUE(unknown.captionText().contains(QStringLiteral("Wish")));
    EXPECT_FALSE(unknown.appIcon.isNull());
    EXPECT_NE(known.sourceColor, Theme::neutralHeader().color());
    EXPECT_EQ(known.appIcon.pixmap(8).toImage().pixelColor(4, 4), QColor(Qt::green));
    EXPECT_EQ(known.sourceName, QStringLiteral("Editor"));
}

} // namespace
