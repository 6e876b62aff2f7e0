#include "UI/ContinuousCorners.h"

#include <gtest/gtest.h>

namespace {

TEST(ContinuousCornersTest, PathFillsItsRectangleExactly)
{
    for (const QRectF& rect : {QRectF(0, 0, 32, 32), QRectF(10.5, 20, 200, 44), QRectF(-5, -5, 9, 300)}) {
        const QPainterPath path = continuousRoundedRect(rect, 8);
        const QRectF bounds = path.boundingRect();
        EXPECT_NEAR(bounds.left(), rect.left(), 1e-9);
        EXPECT_NEAR(bounds.top(), rect.top(), 1e-9);
        EXPECT_NEAR(bounds.right(), rect.right(), 1e-9);
        EXPECT_NEAR(bounds.bottom(), rect.bottom(), 1e-9);
        EXPECT_TRUE(path.contains(rect.center()));
    }
}

TEST(ContinuousCornersTest, CornersAreCutAndEdgesAreStraight)
{
    const QRectF rect(0, 0, 100, 60);
    const QPainterPath path = continuousRoundedRect(rect, 10);
    for (const QPointF& corner :
         {QPointF(0.5, 0.5), QPointF(99.5, 0.5), QPointF(0.5, 59.5), QPointF(99.5, 59.5)})
        EXPECT_FALSE(path.contains(corner)) << corner.x() << "," << corner.y();
    // Midpoints of the edges, just inside, belong to the straight parts.
    for (const QPointF& edge : {QPointF(50, 0.25), QPointF(50, 59.75), QPointF(0.25, 30), QPointF(99.75, 30)})
        EXPECT_TRUE(path.contains(edge)) << edge.x() << "," << edge.y();
}

TEST(ContinuousCornersTest, CornerIsSmootherThanACircularArcOfTheSameRadius)
{
    // A circular arc of radius 10 meets the top edge at x = 10 and crosses the diagonal
    // 2.93 from the corner. The continuous corner leaves the edge earlier and gradually, and
    // holds closer to the corner on the diagonal.
    const QPainterPath path = continuousRoundedRect(QRectF(0, 0, 100, 100), 10);
    EXPECT_FALSE(path.contains(QPointF(10, 0.02)));
    EXPECT_TRUE(path.contains(QPointF(16, 0.02)));
    EXPECT_TRUE(path.contains(QPointF(2.7, 2.7)));
}

TEST(ContinuousCornersTest, RadiusIsClampedAndDegenerateInputIsSafe)
{
    const QRectF rect(0, 0, 20, 10);
    const QPainterPath huge = continuousRoundedRect(rect, 1000);
    EXPECT_EQ(huge.boundingRect(), rect);
    EXPECT_TRUE(huge.contains(rect.center()));

    QPainterPath square;
    square.addRect(rect);
    EXPECT_EQ(continuousRoundedRect(rect, 0), square);
    EXPECT_EQ(continuousRoundedRect(rect, -4), square);
    EXPECT_TRUE(continuousRoundedRect(QRectF(), 8).isEmpty());
    EXPECT_TRUE(continuousRoundedRect(QRectF(0, 0, 0, 10), 8).isEmpty());
    EXPECT_EQ(continuousRoundedRect(QRectF(20, 10, -20, -10), 4).boundingRect(), rect);
}

} // namespace
