#include "UI/CopyToastController.h"
#include "UI/Theme.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

// The toast as a real window on an X display with a window manager and no compositing
// manager (openbox alone), as many desktops run.

// A toast's rounded corners showed as black squares where no compositor gives its window alpha.
TEST(CopyToastOnScreenTest, ToastCornersShowTheWindowBelowWithoutACompositor)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "needs an X display";
    const QColor below(0xD8, 0xC0, 0x70);
    QWidget backdrop;
    QPalette palette = backdrop.palette();
    palette.setColor(QPalette::Window, below);
    backdrop.setPalette(palette);
    backdrop.setAutoFillBackground(true);
    backdrop.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    backdrop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));

    CopyToastController toasts;
    toasts.show(QStringLiteral("Copied to Clipboard"), QStringLiteral("checkmark.circle.fill"),
                CopyToastController::maximumDurationSeconds);
    QWidget* toast = toasts.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(toast));
    const QRect frame = toast->geometry();
    ASSERT_TRUE(backdrop.geometry().contains(frame));
    QImage shot;
    // The card's body below the text is on screen once the toast has drawn.
    const QPoint body(frame.width() / 2, frame.height() - 4);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        shot = toast->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
        return shot.pixelColor(body) == Theme::cardBody().color();
    }));
    for (const QPoint corner : {QPoint(0, 0), QPoint(frame.width() - 1, 0), QPoint(0, frame.height() - 1),
                                QPoint(frame.width() - 1, frame.height() - 1)}) {
        SCOPED_TRACE(QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y()).toStdString());
        EXPECT_EQ(shot.pixelColor(corner).name().toStdString(), below.name().toStdString());
    }
}
