#include "UI/VelloraIconButton.h"
#include "UI/Appearance.h"
#include "UI/Theme.h"

#include <QEnterEvent>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class VelloraIconButtonTest : public ::testing::Test {
protected:
    void SetUp() override { Appearance::shared().applyForThisRun(AppearanceMode::light); }

    // The button drawn on a transparent image, without any window background.
    static QImage rendered(VelloraIconButton& button)
    {
        QImage image(button.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        button.render(&image, {}, {}, QWidget::DrawChildren);
        return image;
    }
    // A point inside the square but away from the centred label and the rounded corners.
    static QColor background(VelloraIconButton& button)
    {
        return rendered(button).pixelColor(3, button.height() / 2);
    }
    static void hover(QWidget& widget, bool inside)
    {
        if (inside) {
            QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
            QCoreApplication::sendEvent(&widget, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(&widget, &leave);
        }
    }
};

TEST_F(VelloraIconButtonTest, IsASquareOfItsSize)
{
    VelloraIconButton button(QStringLiteral("xmark"), {32, false});
    EXPECT_EQ(button.size(), QSize(32, 32));
    EXPECT_EQ(button.sizeHint(), QSize(32, 32));
    button.setButtonStyle({24, true});
    EXPECT_EQ(button.size(), QSize(24, 24));
}

TEST_F(VelloraIconButtonTest, ClearUntilHoveredOrPressed)
{
    VelloraIconButton button(QStringLiteral("xmark"), {32, false});
    EXPECT_EQ(background(button).alpha(), 0);

    hover(button, true);
    EXPECT_TRUE(button.isHovered());
    EXPECT_EQ(background(button).rgb(), Theme::pillBG().resolved(false).rgb());
    EXPECT_EQ(background(button).alpha(), 255);

    hover(button, false);
    EXPECT_FALSE(button.isHovered());
    EXPECT_EQ(background(button).alpha(), 0);

    button.setDown(true);
    EXPECT_EQ(background(button).rgb(), Theme::pillBG().resolved(false).rgb());
}

TEST_F(VelloraIconButtonTest, BorderedButtonRestsOnTheCardBodyWithABorder)
{
    Appearance::shared().applyForThisRun(AppearanceMode::dark);
    VelloraIconButton button(QStringLiteral("plus"), {32, true});
    EXPECT_EQ(background(button).rgb(), Theme::cardBody().resolved(true).rgb());
    const QColor edge = rendered(button).pixelColor(0, 16);
    EXPECT_GT(edge.alpha(), 0);
    EXPECT_NE(edge.rgb(), Theme::cardBody().resolved(true).rgb());
    hover(button, true);
    EXPECT_EQ(background(button).rgb(), Theme::pillBG().resolved(true).rgb());
}

TEST_F(VelloraIconButtonTest, LabelIsDrawnInTheSecondaryColour)
{
    VelloraIconButton button(QStringLiteral("stop.fill"), {32, false});
    const QColor centre = rendered(button).pixelColor(16, 16);
    EXPECT_EQ(centre.rgb(), Theme::chromeTextSecondary().resolved(false).rgb());

    VelloraIconButton text(QString(), {32, false});
    text.setText(QStringLiteral("▮"));
    const QImage image = rendered(text);
    bool drewText = false;
    for (int y = 0; y < image.height() && !drewText; ++y) {
        for (int x = 0; x < image.width() && !drewText; ++x)
            drewText = image.pixelColor(x, y).alpha() > 0;
    }
    EXPECT_TRUE(drewText);
}

TEST_F(VelloraIconButtonTest, DisabledButtonIsDrawnAtFortyPercent)
{
    VelloraIconButton button(QStringLiteral("plus"), {32, true});
    const int enabledAlpha = background(button).alpha();
    button.setEnabled(false);
    const int disabledAlpha = background(button).alpha();
    EXPECT_EQ(enabledAlpha, 255);
    EXPECT_NEAR(disabledAlpha, 102, 2);
}

TEST_F(VelloraIconButtonTest, WholeSquareIsTheHitArea)
{
    VelloraIconButton button(QStringLiteral("xmark"), {32, false});
    button.show();
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    for (const QPoint& point : {QPoint(1, 1), QPoint(30, 30), QPoint(16, 16), QPoint(1, 30)})
        QTest::mouseClick(&button, Qt::LeftButton, {}, point);
    EXPECT_EQ(clicked.count(), 4);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(16, 16));
    EXPECT_EQ(clicked.count(), 4);
}

} // namespace
