#include "UI/CopyToastController.h"
#include "UI/CopyToastView.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr int generousWaitMs = 5000;

bool waitUntilHidden(const CopyToastController& toast)
{
    for (int waited = 0; waited < generousWaitMs && toast.isShowing(); waited += 20)
        QTest::qWait(20);
    return !toast.isShowing();
}

int visibleToastWindows()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += qobject_cast<CopyToastView*>(widget) && widget->isVisible() ? 1 : 0;
    return count;
}

TEST(CopyToastControllerTest, ShowsAMessageThatNeitherTakesFocusNorActivates)
{
    CopyToastController toast;
    toast.show(QStringLiteral("Copied to Clipboard"), QStringLiteral("checkmark.circle.fill"), 5);
    ASSERT_TRUE(toast.isShowing());
    EXPECT_EQ(toast.message(), QStringLiteral("Copied to Clipboard"));
    QWidget* window = toast.window();
    EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(window->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(window->focusPolicy(), Qt::NoFocus);
    EXPECT_NE(QApplication::activeWindow(), window);
    toast.dismiss();
}

TEST(CopyToastControllerTest, SitsNearTheBottomOfTheScreenCentred)
{
    CopyToastController toast;
    toast.show(QStringLiteral("Saved as Card"), QStringLiteral("checkmark"), 5);
    const QRect area = toast.window()->screen()->availableGeometry();
    const QRect frame = toast.window()->geometry();
    EXPECT_EQ(frame.bottom(), area.bottom() - CopyToastController::bottomMargin);
    EXPECT_NEAR(frame.center().x(), area.center().x(), 1);
    toast.dismiss();
}

TEST(CopyToastControllerTest, StaysInsideTheActiveWindowItBelongsTo)
{
    QWidget window;
    window.setGeometry(120, 60, 560, 300);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    CopyToastController toast;
    toast.show(QStringLiteral("The original app is closed. Copy the answer and choose a destination."),
               QStringLiteral("exclamationmark.triangle"), 5);
    const QRect frame = toast.window()->geometry();
    EXPECT_TRUE(window.frameGeometry().contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
    toast.dismiss();
}

TEST(CopyToastControllerTest, NewToastReplacesTheCurrentOne)
{
    CopyToastController toast;
    toast.show(QStringLiteral("Copied to Clipboard"), QStringLiteral("checkmark.circle.fill"), 0.2);
    const QWidget* first = toast.window();
    const int widthBefore = first->width();
    toast.show(QStringLiteral("The original app is closed. Copy the answer and choose a destination."),
               QStringLiteral("exclamationmark.triangle"), 3);
    EXPECT_EQ(toast.window(), first);
    EXPECT_EQ(visibleToastWindows(), 1);
    EXPECT_GT(toast.window()->width(), widthBefore);
    EXPECT_EQ(toast.message(),
              QStringLiteral("The original app is closed. Copy the answer and choose a destination."));

    // The first toast's shorter time no longer applies.
    QTest::qWait(600);
    EXPECT_TRUE(toast.isShowing());
    toast.dismiss();
    EXPECT_FALSE(toast.isShowing());
}

TEST(CopyToastControllerTest, HidesAfterItsDurationAndCanShowAgain)
{
    CopyToastController toast;
    toast.show(QStringLiteral("Saved as Card"), QStringLiteral("checkmark"), 0.3);
    EXPECT_TRUE(toast.isShowing());
    ASSERT_TRUE(waitUntilHidden(toast));
    EXPECT_EQ(toast.window()->windowOpacity(), 1.0);

    toast.show(QStringLiteral("Saved as Card"), QStringLiteral("checkmark"), 0.3);
    EXPECT_TRUE(toast.isShowing());
    ASSERT_TRUE(waitUntilHidden(toast));
}

TEST(CopyToastControllerTest, NonsenseDurationsAndUnknownSymbolsAreSafe)
{
    CopyToastController toast;
    toast.show(QStringLiteral("<b>not bold</b>"), QStringLiteral("no.such.symbol"), std::nan(""));
    EXPECT_TRUE(toast.isShowing());
    EXPECT_EQ(toast.message(), QStringLiteral("<b>not bold</b>"));
    ASSERT_TRUE(waitUntilHidden(toast)); // the default duration applies
    toast.show(QStringLiteral("x"), QString(), -4);
    ASSERT_TRUE(waitUntilHidden(toast));
}

} // namespace
