#include "UI/Symbols.h"
#include "Platform/Bundle.h"

#include <QDir>
#include <QImage>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

// Every symbol name the views use.
const QStringList usedNames = {
    "app",
    "arrow.counterclockwise",
    "arrow.down.circle",
    "arrow.up",
    "arrow.up.forward",
    "arrow.up.right",
    "arrow.uturn.backward",
    "arrowshape.turn.up.left",
    "character.bubble",
    "checkmark",
    "checkmark.circle.fill",
    "chevron.down",
    "chevron.right",
    "circle",
    "doc.on.doc",
    "doc.text",
    "ellipsis",
    "exclamationmark.triangle",
    "eye",
    "eye.slash",
    "hand.raised",
    "info.circle",
    "magnifyingglass",
    "minus.circle.fill",
    "plus",
    "plus.rectangle.on.rectangle",
    "rectangle.stack",
    "slider.horizontal.3",
    "sparkle",
    "sparkles",
    "stop.fill",
    "text.alignleft",
    "xmark",
};

int opaquePixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}

TEST(SymbolsTest, EveryUsedNameHasAGlyph)
{
    for (const QString& name : usedNames) {
        EXPECT_TRUE(Symbols::exists(name)) << name.toStdString();
        EXPECT_FALSE(Symbols::icon(name, Qt::black, 16).isNull()) << name.toStdString();
    }
}

TEST(SymbolsTest, EveryGlyphFileIsAValidSquareSvgThatDrawsSomething)
{
    const QDir folder(Platform::mainBundle().resourceRoot() + QStringLiteral("/symbols"));
    const QStringList files = folder.entryList({QStringLiteral("*.svg")}, QDir::Files);
    ASSERT_GE(files.size(), usedNames.size());
    for (const QString& file : files) {
        QSvgRenderer renderer(folder.filePath(file));
        ASSERT_TRUE(renderer.isValid()) << file.toStdString();
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, 24, 24)) << file.toStdString();
        const QPixmap pixmap = Symbols::pixmap(file.chopped(4), Qt::black, 24);
        const int covered = opaquePixels(pixmap.toImage());
        EXPECT_GT(covered, 20) << file.toStdString();
        EXPECT_LT(covered, 24 * 24) << file.toStdString(); // a glyph, not a filled square
    }
}

TEST(SymbolsTest, GlyphIsTintedInTheRequestedColour)
{
    const QColor tint(0x31, 0x5B, 0xD6);
    const QImage image = Symbols::pixmap(QStringLiteral("stop.fill"), tint, 24).toImage();
    const QColor centre = image.pixelColor(12, 12);
    EXPECT_EQ(centre.rgb(), tint.rgb());
    EXPECT_EQ(centre.alpha(), 255);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
}

TEST(SymbolsTest, PixmapHonoursSizeAndPixelRatio)
{
    const QPixmap pixmap = Symbols::pixmap(QStringLiteral("xmark"), Qt::black, 14, 2.0);
    EXPECT_EQ(pixmap.size(), QSize(28, 28));
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    const QIcon icon = Symbols::icon(QStringLiteral("xmark"), Qt::black, 14);
    EXPECT_TRUE(icon.availableSizes().contains(QSize(14, 14)));
}

TEST(SymbolsTest, UnknownOrUnsafeNamesGiveNothing)
{
    for (const char* name : {"", "no.such.symbol", "../icons/vellora", "symbols/xmark", "XMARK"}) {
        EXPECT_FALSE(Symbols::exists(QString::fromLatin1(name))) << name;
        EXPECT_TRUE(Symbols::icon(QString::fromLatin1(name), Qt::black, 16).isNull()) << name;
        EXPECT_TRUE(Symbols::pixmap(QString::fromLatin1(name), Qt::black, 16).isNull()) << name;
    }
    EXPECT_TRUE(Symbols::pixmap(QStringLiteral("xmark"), Qt::black, 0).isNull());
    EXPECT_TRUE(Symbols::pixmap(QStringLiteral("xmark"), Qt::black, -3).isNull());
}

} // namespace
