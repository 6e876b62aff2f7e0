#include "HistoryRetentionFixture.h"

#include "Settings/HistoryRetentionPreset.h"

#include <QScopeGuard>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QString removeTitle(int count)
{
    return QStringLiteral("Remove %1 Clips").arg(count);
}

// Waits for the store's save to land in the store file.
bool waitForSave()
{
    QSignalSpy posted(&NotificationCenter::shared(), &NotificationCenter::posted);
    return QTest::qWaitFor([&] {
        for (const QList<QVariant>& post : posted) {
            if (post.at(0).toString() == Notifications::storeDidSave)
                return true;
        }
        return false;
    });
}

} // namespace

// Each draft through its control: applied at once when it removes nothing, else confirmed first.
struct DraftCase {
    std::string name;
    QList<double> clipAges; // days
    HistoryRetentionMode savedMode;
    int savedLimit;
    int savedDays;
    std::function<void(HistoryRetentionFixture&)> change;
    HistoryRetentionMode expectedMode;
    int expectedLimit;
    int expectedDays;
    int removals; // 0: applied without confirmation
};

class HistoryRetentionDraft : public HistoryRetentionFixture,
                              public ::testing::WithParamInterface<DraftCase> {};
using HistoryRetentionCancel = HistoryRetentionFixture;
using HistoryRetentionSection = HistoryRetentionFixture;

namespace {

QList<double> agesOf(int count, double age)
{
    return QList<double>(count, age);
}

// Ten clips, one in each band between the presets' ages.
const QList<double> spreadAges{0.5, 3, 10, 17, 25, 45, 75, 120, 200, 400};

std::function<void(HistoryRetentionFixture&)> slideTo(int index)
{
    return [index](HistoryRetentionFixture& f) { f.moveSlider(index); };
}

std::function<void(HistoryRetentionFixture&)> stepLimit(const char* name, int times = 1)
{
    return [name, times](HistoryRetentionFixture& f) {
        for (int i = 0; i < times; ++i)
            f.clickLimit(QString::fromLatin1(name));
    };
}

std::function<void(HistoryRetentionFixture&)> chooseMode(HistoryRetentionMode mode)
{
    return [mode](HistoryRetentionFixture& f) { f.clickMode(mode); };
}

constexpr auto count = HistoryRetentionMode::itemCount;
constexpr auto age = HistoryRetentionMode::timeInterval;

std::vector<DraftCase> draftCases()
{
    std::vector<DraftCase> cases{
        {"LimitUpKeepsAll", agesOf(480, 0), count, 500, 30, stepLimit("retentionLimitIncrease"), count, 550,
         30, 0},
        {"LimitDownRemovesThirty", agesOf(480, 0), count, 500, 30, stepLimit("retentionLimitDecrease"), count,
         450, 30, 30},
        {"LimitDownWithinHistoryKeepsAll", agesOf(100, 0), count, 500, 30,
         stepLimit("retentionLimitDecrease", 3), count, 350, 30, 0},
        {"LimitStopsAtMaximum", agesOf(10, 0), count, 4950, 30, stepLimit("retentionLimitIncrease", 3), count,
         5000, 30, 0},
        {"LimitStopsAtMinimum", agesOf(10, 0), count, 100, 30, stepLimit("retentionLimitDecrease", 3), count,
         50, 30, 0},
        {"LimitOffTheGridStepsFromItsValue", agesOf(10, 0), count, 480, 30,
         stepLimit("retentionLimitIncrease"), count, 530, 30, 0},
        {"AgeModeWithOldClipsAsksFirst",
         {1, 2, 40, 41, 90},
         count,
         500,
         30,
         chooseMode(age),
         age,
         500,
         30,
         3},
        {"AgeModeWithoutOldClipsApplies", {1, 2, 3}, count, 500, 30, chooseMode(age), age, 500, 30, 0},
        {"CountModeBeyondLimitAsks", agesOf(30, 0), age, 20, 0, chooseMode(count), count, 20, 0, 10},
        {"ForeverStillKeepsAtMostTheCeiling", agesOf(5003, 0), age, 500, 30, slideTo(9), age, 500, 0, 3},
    };
    // Every preset, from a saved age whose slider position is another preset's (45 days sits on
    // 1 Month, where the draft keeps 45 until the slider moves).
    const QList<int> removalsByPreset{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    for (const HistoryRetentionPreset preset : HistoryRetentionPresets::allCases()) {
        const int index = HistoryRetentionPresets::rawValue(preset);
        const int savedDays = preset == HistoryRetentionPreset::month ? 365 : 45;
        cases.push_back({"Preset" + std::to_string(index), spreadAges, age, 500, savedDays, slideTo(index),
                         age, 500, HistoryRetentionPresets::days(preset), removalsByPreset.at(index)});
    }
    return cases;
}

} // namespace

TEST_P(HistoryRetentionDraft, ConfirmsOnlyWhatRemovesClipsAndWritesAfterTheAnswer)
{
    const DraftCase& c = GetParam();
    setSaved(c.savedMode, c.savedLimit, c.savedDays);
    QList<ClipItem> history;
    for (const double days : c.clipAges)
        history.append(clip(days));
    load(history);
    section->show();
    const qsizetype before = store->history().size();

    c.change(*this);

    if (c.removals == 0) {
        EXPECT_EQ(section->confirmation(), nullptr);
        EXPECT_EQ(settings().historyRetentionMode(), c.expectedMode);
        EXPECT_EQ(settings().historyLimit(), c.expectedLimit);
        EXPECT_EQ(settings().historyRetentionDays(), c.expectedDays);
        EXPECT_EQ(stored(QStringLiteral("historyRetentionMode")).toString(),
                  HistoryRetentionModes::rawValue(c.expectedMode));
        EXPECT_EQ(stored(QStringLiteral("historyLimit")).toInt(), c.expectedLimit);
        EXPECT_EQ(stored(QStringLiteral("historyRetentionDays")).toInt(), c.expectedDays);
        EXPECT_EQ(store->history().size(), before);
        EXPECT_TRUE(waitForSave());
        return;
    }

    // Nothing is written or removed until the answer.
    ASSERT_NE(section->confirmation(), nullptr);
    EXPECT_EQ(section->pendingRemovalCount(), c.removals);
    EXPECT_EQ(settings().historyRetentionMode(), c.savedMode);
    EXPECT_EQ(settings().historyLimit(), c.savedLimit);
    EXPECT_EQ(settings().historyRetentionDays(), c.savedDays);
    EXPECT_EQ(store->history().size(), before);
    EXPECT_EQ(section->draftMode(), c.expectedMode);
    EXPECT_EQ(section->draftLimit(), c.expectedLimit);
    EXPECT_EQ(section->draftDays(), c.expectedDays);

    QAbstractButton* remove = confirmationButton(removeTitle(c.removals));
    ASSERT_NE(remove, nullptr);
    remove->click();

    EXPECT_EQ(section->confirmation(), nullptr);
    EXPECT_EQ(settings().historyRetentionMode(), c.expectedMode);
    EXPECT_EQ(settings().historyLimit(), c.expectedLimit);
    EXPECT_EQ(settings().historyRetentionDays(), c.expectedDays);
    EXPECT_EQ(stored(QStringLiteral("historyLimit")).toInt(), c.expectedLimit);
    EXPECT_EQ(stored(QStringLiteral("historyRetentionDays")).toInt(), c.expectedDays);
    EXPECT_EQ(store->history().size(), before - c.removals);
    EXPECT_TRUE(waitForSave());
}

INSTANTIATE_TEST_SUITE_P(Drafts, HistoryRetentionDraft, ::testing::ValuesIn(draftCases()),
                         [](const auto& info) { return info.param.name; });

// Cancelling writes nothing, removes nothing and puts the controls back.
TEST_F(HistoryRetentionCancel, PutsTheLimitBackAndWritesNothing)
{
    load(recentClips(480));
    section->show();
    QSignalSpy limitWrites(&settings(), &Settings::historyLimitChanged);

    clickLimit(QStringLiteral("retentionLimitDecrease"));
    ASSERT_NE(section->confirmation(), nullptr);
    EXPECT_EQ(section->confirmation()->text(), QStringLiteral("Remove 30 Clips?"));
    EXPECT_EQ(text(QStringLiteral("retentionLimitLabel")), QStringLiteral("450 clips")); // the pending choice
    confirmationButton(QStringLiteral("Cancel"))->click();

    EXPECT_EQ(section->confirmation(), nullptr);
    EXPECT_EQ(section->draftLimit(), 500);
    EXPECT_EQ(text(QStringLiteral("retentionLimitLabel")), QStringLiteral("500 clips"));
    EXPECT_EQ(settings().historyLimit(), 500);
    EXPECT_EQ(limitWrites.count(), 0);
    EXPECT_EQ(store->history().size(), 480);
}

TEST_F(HistoryRetentionCancel, EscapeCancelsTheModeChange)
{
    load({clip(1), clip(40)});
    section->show();
    clickMode(HistoryRetentionMode::timeInterval);
    ASSERT_NE(section->confirmation(), nullptr);

    QTest::keyClick(section->confirmation(), Qt::Key_Escape);

    EXPECT_EQ(section->confirmation(), nullptr);
    EXPECT_EQ(section->draftMode(), HistoryRetentionMode::itemCount);
    EXPECT_TRUE(modeButton(HistoryRetentionMode::itemCount)->isChecked());
    EXPECT_EQ(settings().historyRetentionMode(), HistoryRetentionMode::itemCount);
    EXPECT_EQ(stored(QStringLiteral("historyRetentionMode")).toString(), QStringLiteral("itemCount"));
    EXPECT_EQ(store->history().size(), 2);
}

// A saved age that is no preset's stays as it was: the slider goes back to the nearest preset
// without deriving days from it.
TEST_F(HistoryRetentionCancel, KeepsASavedAgeThatIsNoPreset)
{
    setSaved(HistoryRetentionMode::timeInterval, 500, 45);
    load({clip(1), clip(10), clip(40)});
    section->show();
    EXPECT_EQ(slider()->value(), 4);
    EXPECT_EQ(section->draftDays(), 45);

    moveSlider(1); // 1 Week removes two
    ASSERT_NE(section->confirmation(), nullptr);
    confirmationButton(QStringLiteral("Cancel"))->click();

    EXPECT_EQ(section->confirmation(), nullptr);
    EXPECT_EQ(section->draftDays(), 45);
    EXPECT_EQ(slider()->value(), 4);
    EXPECT_EQ(text(QStringLiteral("retentionAgeTitle")), QStringLiteral("1 Month"));
    EXPECT_EQ(settings().historyRetentionDays(), 45);
    EXPECT_EQ(stored(QStringLiteral("historyRetentionDays")).toInt(), 45);
    EXPECT_EQ(store->history().size(), 3);
}

TEST_F(HistoryRetentionCancel, AsksAgainWhenTheSavedValuesStillRemoveClips)
{
    // Saved 30 days, but clips older than that exist (the store trims them only on a change).
    setSaved(HistoryRetentionMode::timeInterval, 500, 30);
    load({clip(1), clip(10), clip(40)});
    section->show();

    moveSlider(1); // 1 Week: the 10- and 40-day clips
    ASSERT_NE(section->confirmation(), nullptr);
    EXPECT_EQ(section->pendingRemovalCount(), 2);
    confirmationButton(QStringLiteral("Cancel"))->click();

    // Back on 30 days, which still removes the 40-day clip: asked again, with that count.
    ASSERT_NE(section->confirmation(), nullptr);
    EXPECT_EQ(section->pendingRemovalCount(), 1);
    EXPECT_EQ(section->confirmation()->text(), QStringLiteral("Remove 1 Clips?"));
    EXPECT_EQ(store->history().size(), 3);
}

TEST_F(HistoryRetentionSection, ConfirmationHasTheExactTextsAndIsWindowModal)
{
    load({clip(0, QStringLiteral("new")), clip(50, QStringLiteral("old"))});
    section->show();
    clickMode(HistoryRetentionMode::timeInterval);

    QMessageBox* box = section->confirmation();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Remove 1 Clips?"));
    EXPECT_EQ(
        box->informativeText(),
        QStringLiteral("This setting removes 1 clips from history on this computer now, and keeps pruning "
                       "automatically. Pinboards are not affected, and there is no undo."));
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(box->isVisible());
    ASSERT_EQ(box->buttons().size(), 2);
    EXPECT_EQ(box->buttonRole(confirmationButton(removeTitle(1))), QMessageBox::DestructiveRole);
    EXPECT_EQ(box->defaultButton(), confirmationButton(QStringLiteral("Cancel")));
    EXPECT_EQ(box->escapeButton(), confirmationButton(QStringLiteral("Cancel")));
}

// The question shows its whole title and leaves the value it asks about in view.
TEST_F(HistoryRetentionSection, ConfirmationShowsItsWholeTitleBesideTheSection)
{
    load({clip(0, QStringLiteral("new")), clip(50, QStringLiteral("old"))});
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(section.get());
    layout->addStretch();
    const auto giveBack = qScopeGuard([this] { section->setParent(nullptr); });
    window.resize(520, 500);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    clickMode(HistoryRetentionMode::timeInterval);

    QMessageBox* box = section->confirmation();
    ASSERT_NE(box, nullptr);
    QFont bold = box->font();
    bold.setBold(true);
    // Room for the title and, beside it in the title bar, the window manager's buttons.
    EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100);
    const QRect shown(section->mapToGlobal(QPoint(0, 0)), section->size());
    EXPECT_FALSE(box->frameGeometry().intersects(shown));
    confirmationButton(QStringLiteral("Cancel"))->click();
}

// Dragging moves only the header and the highlighted short title; the release evaluates once.
TEST_F(HistoryRetentionSection, DraggingChangesNothingUntilRelease)
{
    setSaved(HistoryRetentionMode::timeInterval, 500, 30);
    load({clip(1), clip(2)});
    section->show();
    QSignalSpy dayWrites(&settings(), &Settings::historyRetentionDaysChanged);
    QSignalSpy posted(&NotificationCenter::shared(), &NotificationCenter::posted);

    slider()->setSliderDown(true);
    for (const int index : {5, 6, 7, 8}) {
        slider()->setValue(index);
        EXPECT_EQ(section->draftDays(), 30);
    }
    EXPECT_EQ(text(QStringLiteral("retentionAgeTitle")), QStringLiteral("1 Year"));
    EXPECT_EQ(dayWrites.count(), 0);
    EXPECT_EQ(settings().historyRetentionDays(), 30);

    slider()->setSliderDown(false);
    EXPECT_EQ(section->draftDays(), 365);
    EXPECT_EQ(settings().historyRetentionDays(), 365);
    EXPECT_EQ(dayWrites.count(), 1);
    EXPECT_EQ(section->confirmation(), nullptr);
}

// A click on the thumb that does not move it keeps a saved age that is no preset's.
TEST_F(HistoryRetentionSection, ClickingTheThumbWithoutMovingItKeepsTheSavedAge)
{
    setSaved(HistoryRetentionMode::timeInterval, 500, 45);
    load({clip(1), clip(40), clip(50)});
    section->resize(480, section->sizeHint().height());
    section->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(section.get()));
    QSlider* thumbSlider = slider();
    const int length = thumbSlider->style()->pixelMetric(QStyle::PM_SliderLength, nullptr, thumbSlider);
    const QPoint thumb(QStyle::sliderPositionFromValue(thumbSlider->minimum(), thumbSlider->maximum(),
                                                       thumbSlider->value(), thumbSlider->width() - length) +
                           length / 2,
                       thumbSlider->height() / 2);

    QTest::mouseClick(thumbSlider, Qt::LeftButton, {}, thumb);

    EXPECT_EQ(thumbSlider->value(), 4);
    EXPECT_EQ(section->confirmation(), nullptr);
    EXPECT_EQ(section->draftDays(), 45);
    EXPECT_EQ(settings().historyRetentionDays(), 45);
    EXPECT_EQ(store->history().size(), 3);
}

TEST_F(HistoryRetentionSection, ShowsOnlyTheControlsOfTheDraftedMode)
{
    load({});
    section->show();
    auto* limitLabel = child<QLabel>(QStringLiteral("retentionLimitLabel"));
    EXPECT_TRUE(limitLabel->isVisible());
    EXPECT_FALSE(slider()->isVisible());
    EXPECT_EQ(limitLabel->text(), QStringLiteral("500 clips"));
    EXPECT_EQ(modeButton(HistoryRetentionMode::itemCount)->text(), QStringLiteral("Number of clips"));
    EXPECT_EQ(modeButton(HistoryRetentionMode::timeInterval)->text(), QStringLiteral("Age of clips"));
    EXPECT_EQ(section->title(), QStringLiteral("History"));

    clickMode(HistoryRetentionMode::timeInterval);
    EXPECT_FALSE(limitLabel->isVisible());
    EXPECT_TRUE(slider()->isVisible());
    EXPECT_EQ(slider()->value(), 4);
    EXPECT_EQ(text(QStringLiteral("retentionAgeTitle")), QStringLiteral("1 Month"));
}

// A draft that changes while the question is open updates it: the answer applies to what it names.
TEST_F(HistoryRetentionSection, AnOpenQuestionFollowsTheLatestDraft)
{
    load(recentClips(480));
    section->show();
    clickLimit(QStringLiteral("retentionLimitDecrease"));
    QMessageBox* box = section->confirmation();
    ASSERT_NE(box, nullptr);

    clickLimit(QStringLiteral("retentionLimitDecrease")); // 400, also while the question is open
    EXPECT_EQ(section->confirmation(), box);
    EXPECT_EQ(section->findChildren<QMessageBox*>().size(), 1);
    EXPECT_EQ(box->text(), QStringLiteral("Remove 80 Clips?"));
    EXPECT_EQ(confirmationButton(removeTitle(30)), nullptr);
    ASSERT_NE(confirmationButton(removeTitle(80)), nullptr);

    confirmationButton(removeTitle(80))->click();
    EXPECT_EQ(settings().historyLimit(), 400);
    EXPECT_EQ(store->history().size(), 400);
}
