#include "UI/Appearance.h"
#include "UI/Settings/SettingsDetailCard.h"
#include "UI/Settings/SettingsDetailPage.h"
#include "UI/Settings/SettingsDetailRow.h"
#include "UI/Settings/SettingsDetailSection.h"
#include "UI/Settings/SettingsDetailToggle.h"
#include "UI/Settings/SettingsSegment.h"
#include "UI/Settings/SettingsSwitch.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A block of a fixed height that takes whatever width it is given.
QWidget* blockOfHeight(int height)
{
    auto* block = new QWidget;
    block->setFixedHeight(height);
    block->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return block;
}

QRect geometryIn(const QWidget* widget, const QWidget* ancestor)
{
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

void layOut(QWidget& widget, const QSize& size)
{
    widget.resize(size);
    widget.show();
    // Layout requests travel up one level per pass of the event loop.
    for (int pass = 0; pass < 4; ++pass)
        QApplication::processEvents();
}

struct ColumnCase {
    int pageWidth;
    int expectedBlockWidth;
};

class SettingsDetailPageColumnTest : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(SettingsDetailPageColumnTest, ColumnIsAtMost480WideCentredWithItsPadding)
{
    const ColumnCase c = GetParam();
    SettingsDetailPage page;
    QWidget* block = blockOfHeight(40);
    page.addBlock(block);
    layOut(page, QSize(c.pageWidth, 400));

    const QRect inViewport = geometryIn(block, page.viewport());
    EXPECT_EQ(inViewport.width(), c.expectedBlockWidth);
    EXPECT_LE(inViewport.width(), SettingsDetailPage::maximumColumnWidth);
    EXPECT_EQ(inViewport.top(), SettingsDetailPage::topPadding);
    // Centred: the same space on both sides of the column.
    const int left = inViewport.left();
    const int right = page.viewport()->width() - inViewport.right() - 1;
    EXPECT_NEAR(left, right, 1);
    EXPECT_GE(left, SettingsDetailPage::horizontalPadding);
}

INSTANTIATE_TEST_SUITE_P(Widths, SettingsDetailPageColumnTest,
                         ::testing::Values(ColumnCase{1400, 480}, ColumnCase{900, 480},
                                           ColumnCase{560, 480}));

TEST(SettingsDetailPageTest, NarrowPageKeepsTheHorizontalPadding)
{
    SettingsDetailPage page;
    QWidget* block = blockOfHeight(40);
    page.addBlock(block);
    layOut(page, QSize(400, 400));
    const QRect inViewport = geometryIn(block, page.viewport());
    EXPECT_EQ(inViewport.left(), SettingsDetailPage::horizontalPadding);
    EXPECT_EQ(inViewport.width(), page.viewport()->width() - 2 * SettingsDetailPage::horizontalPadding);
}

TEST(SettingsDetailPageTest, BlocksStack20ApartFromTheTopWith28BelowTheLast)
{
    SettingsDetailPage page;
    QWidget* first = blockOfHeight(50);
    QWidget* second = blockOfHeight(70);
    QWidget* third = blockOfHeight(30);
    for (QWidget* block : {first, second, third})
        page.addBlock(block);
    layOut(page, QSize(600, 150));

    EXPECT_EQ(first->y(), SettingsDetailPage::topPadding);
    EXPECT_EQ(second->y(), first->geometry().bottom() + 1 + SettingsDetailPage::blockSpacing);
    EXPECT_EQ(third->y(), second->geometry().bottom() + 1 + SettingsDetailPage::blockSpacing);
    const int contentHeight = 24 + 50 + 20 + 70 + 20 + 30 + 28;
    EXPECT_EQ(page.widget()->height(), contentHeight);
}

struct ScrollCase {
    int viewportHeight;
    int blocks;
    bool scrolls;
};

class SettingsDetailPageScrollTest : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(SettingsDetailPageScrollTest, ScrollsOnlyWhenTallerThanTheViewport)
{
    const ScrollCase c = GetParam();
    SettingsDetailPage page;
    for (int i = 0; i < c.blocks; ++i)
        page.addBlock(blockOfHeight(100));
    layOut(page, QSize(600, c.viewportHeight));

    EXPECT_EQ(page.verticalScrollBar()->maximum() > 0, c.scrolls);
    EXPECT_EQ(page.verticalScrollBar()->isVisible(), c.scrolls);
    EXPECT_FALSE(page.horizontalScrollBar()->isVisible());
    if (c.scrolls) {
        const int content = 24 + c.blocks * 100 + (c.blocks - 1) * 20 + 28;
        EXPECT_EQ(page.verticalScrollBar()->maximum(), content - page.viewport()->height());
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, SettingsDetailPageScrollTest,
                         ::testing::Values(ScrollCase{520, 6, true}, ScrollCase{520, 2, false},
                                           ScrollCase{300, 3, true}, ScrollCase{800, 6, false}));

TEST(SettingsDetailPageTest, ShortPageKeepsItsBlocksAtTheTop)
{
    SettingsDetailPage page;
    QWidget* block = blockOfHeight(60);
    page.addBlock(block);
    layOut(page, QSize(600, 700));
    EXPECT_EQ(block->y(), SettingsDetailPage::topPadding);
    EXPECT_EQ(block->height(), 60);
}

TEST(SettingsDetailCardTest, PadsSixteenAndStacksItemsTwelveApartInTheBodyFont)
{
    SettingsDetailCard card;
    auto* first = new QLabel(QStringLiteral("First"));
    auto* second = new QLabel(QStringLiteral("Second"));
    auto* nested = new QHBoxLayout;
    auto* third = new QLabel(QStringLiteral("Third"));
    nested->addWidget(third);
    card.addItem(first);
    card.addItem(second);
    card.addLayout(nested);
    layOut(card, QSize(400, card.sizeHint().height()));

    EXPECT_EQ(first->pos(), QPoint(SettingsDetailCard::padding, SettingsDetailCard::padding));
    EXPECT_EQ(second->y(), first->geometry().bottom() + 1 + SettingsDetailCard::itemSpacing);
    EXPECT_EQ(third->y(), second->geometry().bottom() + 1 + SettingsDetailCard::itemSpacing);
    EXPECT_EQ(card.height() - third->geometry().bottom() - 1, SettingsDetailCard::padding);
    EXPECT_EQ(first->width(), 400 - 2 * SettingsDetailCard::padding);
    EXPECT_EQ(first->font().pixelSize(), VelloraTypography::body().pixelSize());
}

TEST(SettingsDetailSectionTest, TitleIsTheFirstItemInTheTitleFontAndCanBeRetitled)
{
    SettingsDetailSection section(QStringLiteral("Activation"));
    auto* row = new QLabel(QStringLiteral("row"));
    section.addItem(row);
    layOut(section, QSize(400, section.sizeHint().height()));

    const auto labels = section.findChildren<QLabel*>();
    const auto title = std::find_if(labels.begin(), labels.end(),
                                    [](QLabel* l) { return l->text() == QStringLiteral("Activation"); });
    ASSERT_NE(title, labels.end());
    EXPECT_EQ((*title)->font().pixelSize(), VelloraTypography::title().pixelSize());
    EXPECT_EQ((*title)->font().weight(), VelloraTypography::title().weight());
    EXPECT_EQ((*title)->textFormat(), Qt::PlainText);
    EXPECT_EQ((*title)->pos(), QPoint(SettingsDetailCard::padding, SettingsDetailCard::padding));
    EXPECT_EQ(row->y(), (*title)->geometry().bottom() + 1 + SettingsDetailCard::itemSpacing);

    section.setTitle(QStringLiteral("Aktivierung"));
    EXPECT_EQ(section.title(), QStringLiteral("Aktivierung"));
    EXPECT_EQ((*title)->text(), QStringLiteral("Aktivierung"));
}

class SettingsDetailRowTest : public ::testing::TestWithParam<int> {};

TEST_P(SettingsDetailRowTest, KeepsTheControlAtTheRightEdge)
{
    const int width = GetParam();
    auto* button = new QPushButton(QStringLiteral("Choose…"));
    SettingsDetailRow row(QStringLiteral("Show Vellora"), button);
    layOut(row, QSize(width, 40));

    EXPECT_EQ(row.content(), button);
    EXPECT_EQ(button->geometry().right(), width - 1);
    EXPECT_EQ(button->width(), button->sizeHint().width());
    const auto* title = row.findChild<QLabel*>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x(), 0);
    EXPECT_EQ(title->text(), QStringLiteral("Show Vellora"));
    EXPECT_GE(button->x() - title->geometry().right() - 1, SettingsDetailRow::minimumGap);
    // Vertically centred.
    EXPECT_NEAR(button->geometry().center().y(), row.height() / 2, 1);
}

INSTANTIATE_TEST_SUITE_P(Widths, SettingsDetailRowTest, ::testing::Values(300, 432, 700));

TEST(SettingsDetailRowTest, RetitlesAndShowsTitlesAsPlainText)
{
    SettingsDetailRow row(QStringLiteral("<b>Ask AI</b>"), new QLabel);
    const auto* title = row.findChildren<QLabel*>().first();
    EXPECT_EQ(title->textFormat(), Qt::PlainText);
    row.setTitle(QStringLiteral("Ask AI"));
    EXPECT_EQ(row.title(), QStringLiteral("Ask AI"));
}

TEST(SettingsDetailToggleTest, EmitsOnlyOnAUserChange)
{
    SettingsDetailToggle toggle(QStringLiteral("Play Sound"));
    layOut(toggle, QSize(400, 40));
    QSignalSpy spy(&toggle, &SettingsDetailToggle::toggled);

    toggle.setOn(true);
    toggle.setOn(false);
    toggle.setOn(true);
    EXPECT_TRUE(toggle.isOn());
    EXPECT_EQ(spy.count(), 0);

    QTest::mouseClick(toggle.settingsSwitch(), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toBool(), false);
    EXPECT_FALSE(toggle.isOn());

    toggle.settingsSwitch()->setFocus();
    QTest::keyClick(toggle.settingsSwitch(), Qt::Key_Space);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toBool(), true);
    EXPECT_TRUE(toggle.isOn());
}

TEST(SettingsDetailToggleTest, SwitchKeepsItsNaturalSizeAtTheRightEdgeAndCarriesTheTitle)
{
    SettingsDetailToggle toggle(QStringLiteral("Launch at Login"));
    layOut(toggle, QSize(450, 40));
    SettingsSwitch* knob = toggle.settingsSwitch();
    EXPECT_EQ(knob->size(), QSize(SettingsSwitch::trackWidth, SettingsSwitch::trackHeight));
    EXPECT_EQ(knob->geometry().right(), 449);
    EXPECT_TRUE(knob->isCheckable());
    EXPECT_EQ(knob->accessibleName(), QStringLiteral("Launch at Login"));
}

TEST(SettingsDetailToggleTest, DisabledSwitchIgnoresClicks)
{
    SettingsDetailToggle toggle(QStringLiteral("Sync"));
    layOut(toggle, QSize(300, 40));
    QSignalSpy spy(&toggle, &SettingsDetailToggle::toggled);
    toggle.settingsSwitch()->setEnabled(false);
    QTest::mouseClick(toggle.settingsSwitch(), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_FALSE(toggle.isOn());
}

// The colour of a pixel of the widget drawn on a transparent image at scale 1.
QImage rendered(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(SettingsDetailCardTest, PaintsTheCardBodyInsideRoundedCornersWithAFaintBorder)
{
    SettingsDetailCard card;
    card.resize(200, 100);
    const QImage image = rendered(card);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the corner is cut away";
    EXPECT_EQ(qAlpha(image.pixel(199, 99)), 0);
    EXPECT_EQ(QColor(image.pixel(100, 50)), QColor(Theme::cardBody()));
    // The half-pixel border tints the outermost row towards the border colour.
    EXPECT_NE(QColor(image.pixel(100, 0)), QColor(Theme::cardBody()));
    EXPECT_EQ(QColor(image.pixel(100, 2)), QColor(Theme::cardBody()));
}

TEST(SettingsSwitchTest, TrackTakesTheAccentWhenOn)
{
    SettingsSwitch toggle;
    toggle.resize(toggle.sizeHint());
    // Just inside the track's leading end, clear of the knob when on.
    const QPoint offSide(SettingsSwitch::trackWidth - 6, SettingsSwitch::trackHeight / 2);
    const QPoint onSide(5, SettingsSwitch::trackHeight / 2);
    toggle.setChecked(false);
    EXPECT_EQ(QColor(rendered(toggle).pixel(offSide)), QColor(Theme::pillBG()));
    toggle.setChecked(true);
    EXPECT_EQ(QColor(rendered(toggle).pixel(onSide)), QColor(Theme::selection()));
}

// A disabled check box in a card is drawn dimmed, not in the card's text colour.
TEST(SettingsDetailCardTest, DisabledCheckBoxTextIsDimmed)
{
    SettingsDetailCard card;
    auto* enabled = new QCheckBox(QStringLiteral("Automatically check for updates"));
    auto* disabled = new QCheckBox(QStringLiteral("Automatically check for updates"));
    disabled->setEnabled(false);
    card.addItem(enabled);
    card.addItem(disabled);
    layOut(card, QSize(360, 120));

    // The darkest pixel of each rendered check box is its text.
    const auto darkest = [](QWidget* box) {
        QImage image = box->grab().toImage();
        int least = 255 * 3;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = image.height(); x < image.width(); ++x) { // right of the indicator
                const QColor c = image.pixelColor(x, y);
                least = std::min(least, c.red() + c.green() + c.blue());
            }
        }
        return least;
    };
    EXPECT_GT(darkest(disabled), darkest(enabled) + 150);
}

// In both looks the chosen segment stands out in the accent and the page's scroll handle
// stands out from its trough.
class SettingsLookTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        Appearance::shared().setMode(GetParam() ? AppearanceMode::dark : AppearanceMode::light);
    }
    void TearDown() override { Appearance::shared().setMode(AppearanceMode::light); }
};

TEST_P(SettingsLookTest, ChosenSegmentIsFilledWithTheAccent)
{
    QWidget picker;
    auto* layout = new QHBoxLayout(&picker);
    auto* chosen = new SettingsSegment;
    auto* other = new SettingsSegment;
    chosen->setChecked(true);
    layout->addWidget(chosen);
    layout->addWidget(other);
    layOut(picker, QSize(240, 30));
    const QPoint insideEdge(4, chosen->height() / 2);
    EXPECT_EQ(QColor(rendered(*chosen).pixel(insideEdge)), QColor(Theme::selection()));
    EXPECT_EQ(QColor(rendered(*other).pixel(insideEdge)), QColor(Theme::pillBG()));
}

TEST_P(SettingsLookTest, ScrollHandleStandsOutFromItsTrough)
{
    SettingsDetailPage page;
    page.addBlock(blockOfHeight(2000));
    layOut(page, QSize(600, 300));
    QScrollBar* bar = page.verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    const QRect handleRect =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QRect grooveRect =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
    ASSERT_LT(handleRect.bottom() + 8, grooveRect.bottom());
    const QImage image = bar->grab().toImage();
    const QColor handle = image.pixelColor(handleRect.center());
    const QColor trough = image.pixelColor(grooveRect.center().x(), grooveRect.bottom() - 4);
    const int contrast = std::abs(handle.red() - trough.red()) + std::abs(handle.green() - trough.green()) +
                         std::abs(handle.blue() - trough.blue());
    EXPECT_GT(contrast, 90) << handle.name().toStdString() << " on " << trough.name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Looks, SettingsLookTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "dark" : "light"); });

} // namespace
