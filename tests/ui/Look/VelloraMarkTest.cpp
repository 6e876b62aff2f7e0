#include "UI/VelloraMark.h"
#include "UI/VelloraBrand.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

TEST(VelloraMarkTest, MarkResourceExistsAndRendersAtAnySize)
{
    ASSERT_TRUE(QFile::exists(VelloraBrand::markResourcePath()));
    for (int size : {16, 22, 64, 256}) {
        const QImage image = VelloraBrand::markPixmap(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        EXPECT_EQ(image.pixelColor(size / 2, size * 3 / 4).alpha(), 255) << size;
        EXPECT_EQ(image.pixelColor(0, size - 1).alpha(), 0) << size; // rounded corner stays clear
    }
    EXPECT_EQ(VelloraBrand::markPixmap(32, 2.0).size(), QSize(64, 64));
    EXPECT_TRUE(VelloraBrand::markPixmap(0).isNull());
}

TEST(VelloraMarkTest, IconCarriesTheUsualSizes)
{
    const QIcon icon = VelloraBrand::markIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 22, 32, 48, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
}

TEST(VelloraMarkTest, WidgetPaintsTheMarkCentredAtItsSize)
{
    VelloraMark mark(48);
    EXPECT_EQ(mark.sizeHint(), QSize(48, 48));
    mark.resize(96, 48);
    QImage image(mark.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    mark.render(&image, {}, {}, QWidget::DrawChildren);
    EXPECT_EQ(image.pixelColor(48, 36).alpha(), 255); // inside the centred 48 x 48 mark
    EXPECT_EQ(image.pixelColor(10, 24).alpha(), 0);   // beside it
    EXPECT_EQ(image.pixelColor(86, 24).alpha(), 0);
}

} // namespace
