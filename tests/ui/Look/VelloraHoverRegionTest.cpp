#include "UI/VelloraHoverRegion.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(VelloraHoverRegionTest, FollowsEnterLeaveAndHide)
{
    QWidget widget;
    widget.resize(40, 40);
    widget.show();
    auto* region = new VelloraHoverRegion(&widget);
    QSignalSpy changed(region, &VelloraHoverRegion::hoveredChanged);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&widget, &enter);
    EXPECT_TRUE(region->isHovered());
    QCoreApplication::sendEvent(&widget, &enter); // a repeated enter is no change
    ASSERT_EQ(changed.count(), 1);
    EXPECT_TRUE(changed.at(0).at(0).toBool());

    widget.hide();
    EXPECT_FALSE(region->isHovered());
    ASSERT_EQ(changed.count(), 2);
    EXPECT_FALSE(changed.at(1).at(0).toBool());

    widget.show();
    QCoreApplication::sendEvent(&widget, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &leave);
    EXPECT_FALSE(region->isHovered());
    EXPECT_EQ(changed.count(), 4);
}

} // namespace
