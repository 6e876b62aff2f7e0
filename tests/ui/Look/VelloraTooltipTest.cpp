#include "UI/VelloraTooltip.h"

#include <QCursor>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Far longer than the delay, so that a slow machine does not fail the test.
constexpr int generousWaitMs = 3000;

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &event);
}

// Widgets under the real pointer get enter events of their own; keep it out of the way.
class VelloraTooltipTest : public ::testing::Test {
protected:
    void SetUp() override { QCursor::setPos(QPoint(5000, 5000)); }
};

bool waitUntilShowing(const VelloraTooltip& tooltip)
{
    for (int waited = 0; waited < generousWaitMs && !tooltip.isShowing(); waited += 20)
        QTest::qWait(20);
    return tooltip.isShowing();
}

TEST_F(VelloraTooltipTest, ShowsAfterHoveringAndHidesOnLeave)
{
    QWidget widget;
    widget.resize(40, 40);
    widget.show();
    auto* tooltip = VelloraTooltip::attach(&widget, QStringLiteral("Explain these materials"));
    EXPECT_EQ(VelloraTooltip::showDelayMs, 400);

    enter(widget);
    EXPECT_FALSE(tooltip->isShowing());
    ASSERT_TRUE(waitUntilShowing(*tooltip));
    EXPECT_EQ(tooltip->popup()->text(), QStringLiteral("Explain these materials"));

    leave(widget);
    EXPECT_FALSE(tooltip->isShowing());
}

TEST_F(VelloraTooltipTest, PressHidesItAndLeavingEarlyCancelsIt)
{
    QWidget widget;
    widget.resize(40, 40);
    widget.show();
    auto* tooltip = VelloraTooltip::attach(&widget, QStringLiteral("Close"));

    enter(widget);
    ASSERT_TRUE(waitUntilShowing(*tooltip));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      {});
    QCoreApplication::sendEvent(&widget, &press);
    EXPECT_FALSE(tooltip->isShowing());
    // Still inside after the press: it does not come back.
    enter(widget);
    QTest::qWait(VelloraTooltip::showDelayMs * 2);
    EXPECT_FALSE(tooltip->isShowing());

    leave(widget);
    enter(widget);
    leave(widget);
    QTest::qWait(VelloraTooltip::showDelayMs * 2);
    EXPECT_FALSE(tooltip->isShowing());
}

TEST_F(VelloraTooltipTest, TextIsPlainAndAttachingAgainReplacesIt)
{
    QWidget widget;
    widget.resize(40, 40);
    widget.show();
    auto* first = VelloraTooltip::attach(&widget, QStringLiteral("first"));
    auto* second = VelloraTooltip::attach(&widget, QStringLiteral("<b>bold</b> & <i>more</i>"));
    EXPECT_EQ(first, second);

    enter(widget);
    ASSERT_TRUE(waitUntilShowing(*second));
    EXPECT_EQ(second->popup()->textFormat(), Qt::PlainText);
    EXPECT_EQ(second->popup()->text(), QStringLiteral("<b>bold</b> & <i>more</i>"));
    EXPECT_FALSE(second->popup()->isActiveWindow());
}

TEST_F(VelloraTooltipTest, TextTakesItsOwnWidthAndWrapsOnlyPastTheLimit)
{
    const struct {
        QString text;
        int lines;
    } cases[] = {
        {QStringLiteral("Translate these materials"), 1},
        {QStringLiteral("Send the question and selected materials to your configured model. ").repeated(3),
         0},
    };
    for (const auto& c : cases) {
        QWidget widget;
        widget.resize(40, 40);
        widget.show();
        auto* tooltip = VelloraTooltip::attach(&widget, c.text);
        enter(widget);
        ASSERT_TRUE(waitUntilShowing(*tooltip));
        const QLabel* popup = tooltip->popup();
        const QMargins margins = popup->contentsMargins();
        const int textHeight = popup->height() - margins.top() - margins.bottom() - 2 * popup->margin();
        const int lines = textHeight / popup->fontMetrics().lineSpacing();
        SCOPED_TRACE(c.text.toStdString());
        if (c.lines > 0) {
            EXPECT_EQ(lines, c.lines) << "no word goes to a line of its own";
        } else {
            EXPECT_GT(lines, 1);
            EXPECT_GT(popup->width(),
                      popup->fontMetrics().horizontalAdvance(QStringLiteral("materials ")) * 4)
                << "a long text wraps at a reading width, not word by word";
        }
        EXPECT_GE(popup->height(), popup->heightForWidth(popup->width())) << "nothing is cut off";
    }
}

TEST_F(VelloraTooltipTest, EmptyTextShowsNothingAndTheTooltipGoesWithItsWidget)
{
    auto* widget = new QWidget;
    widget->resize(40, 40);
    widget->show();
    QPointer<VelloraTooltip> tooltip = VelloraTooltip::attach(widget, QString());
    enter(*widget);
    QTest::qWait(VelloraTooltip::showDelayMs * 2);
    EXPECT_FALSE(tooltip->isShowing());

    tooltip->setText(QStringLiteral("now"));
    leave(*widget);
    enter(*widget);
    ASSERT_TRUE(waitUntilShowing(*tooltip));
    QPointer<QLabel> popup = tooltip->popup();
    delete widget;
    EXPECT_TRUE(tooltip.isNull());
    EXPECT_TRUE(popup.isNull());
}

} // namespace
