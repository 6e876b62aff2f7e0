#include "fakes/FakeWorkspace.h"

#include "Platform/Defaults.h"
#include "UI/Theme.h"
#include "Util/AppIconProvider.h"
#include "Util/ColorHex.h"
#include "Util/SourceColor.h"

#include <QJsonObject>
#include <QPainter>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString mapKey = QStringLiteral("appColorMap");

class SourceColorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Platform::defaults().remove(mapKey);
        Platform::setWorkspaceForTesting(&workspace);
        AppIconProvider::clearCache();
    }
    void TearDown() override
    {
        Platform::setWorkspaceForTesting(nullptr);
        AppIconProvider::clearCache();
        Platform::defaults().remove(mapKey);
    }
    static QJsonObject storedMap() { return Platform::defaults().value(mapKey).toObject(); }

    FakeWorkspace workspace;
};

// An icon that is mostly one colour on a white plate with a dark outline.
QIcon iconMostly(const QColor& color)
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(4, 4, 56, 56), Qt::white);
    painter.fillRect(QRect(12, 12, 40, 40), color);
    painter.setPen(QPen(Qt::black, 3));
    painter.drawRect(QRect(4, 4, 56, 56));
    painter.end();
    return QIcon(pixmap);
}

TEST(SourceColorHashTest, IsFnv1aOfTheUtf8Bytes)
{
    EXPECT_EQ(SourceColor::stableHash(QString()), 2166136261u);
    EXPECT_EQ(SourceColor::stableHash(QStringLiteral("a")), 0xE40C292Cu);
    EXPECT_EQ(SourceColor::stableHash(QStringLiteral("foobar")), 0xBF9CF968u);
    EXPECT_NE(SourceColor::stableHash(QStringLiteral("é")), SourceColor::stableHash(QStringLiteral("e")));
}

TEST(AccentShadesTest, TenDistinctDeterministicShadesOfTheBase)
{
    for (const char* hex : {"#FF5A9F", "#315BD6", "#000000", "#FFFFFF", "#808080", "#FFFF00"}) {
        const QList<QColor> shades = SourceColor::accentShades(QString::fromLatin1(hex));
        ASSERT_EQ(shades.size(), 10) << hex;
        EXPECT_EQ(shades, SourceColor::accentShades(QString::fromLatin1(hex))) << hex;
        QSet<QRgb> distinct;
        for (int i = 0; i < shades.size(); ++i) {
            distinct.insert(shades[i].rgb());
            if (i > 0) {
                EXPECT_GT(shades[i].lightness(), shades[i - 1].lightness()) << hex << " shade " << i;
            }
        }
        EXPECT_EQ(distinct.size(), 10) << hex;
    }
}

TEST(AccentShadesTest, ShadesKeepTheBaseHue)
{
    const QColor base = *colorFromHex(QStringLiteral("#315BD6"));
    for (const QColor& shade : SourceColor::accentShades(QStringLiteral("#315BD6")))
        EXPECT_NEAR(shade.hslHue(), base.hslHue(), 3);
}

TEST(AccentShadesTest, UnparsableTextFallsBackToSystemPink)
{
    const QList<QColor> pink = SourceColor::accentShades(QStringLiteral("#FF2D55"));
    for (const char* bad : {"", "pink", "#FF2D5", "#FF2D55FF00"})
        EXPECT_EQ(SourceColor::accentShades(QString::fromLatin1(bad)), pink) << bad;
    EXPECT_NE(SourceColor::accentShades(QStringLiteral("#FF5A9F")), pink);
}

TEST_F(SourceColorTest, KnownApplicationGetsItsFamiliarColourAndItIsRemembered)
{
    const QColor firefox = SourceColor::defaultColor(QStringLiteral("org.mozilla.firefox"));
    EXPECT_EQ(hexString(firefox), QStringLiteral("#FF7139"));
    EXPECT_EQ(SourceColor::defaultColor(QStringLiteral("firefox.desktop")), firefox);
    EXPECT_EQ(storedMap().value(QStringLiteral("org.mozilla.firefox")),
              QJsonValue(QStringLiteral("#FF7139")));
}

TEST_F(SourceColorTest, UnknownApplicationTakesItsIconsDominantColour)
{
    workspace.installed.insert(QStringLiteral("org.example.Greenery"),
                               {QStringLiteral("Greenery"), {}, iconMostly(QColor(0x2E, 0x9E, 0x44))});
    const QColor color = SourceColor::defaultColor(QStringLiteral("org.example.Greenery"));
    EXPECT_NEAR(color.hslHue(), QColor(0x2E, 0x9E, 0x44).hslHue(), 4);
    EXPECT_GT(color.hslSaturation(), 100);
    EXPECT_EQ(storedMap().value(QStringLiteral("org.example.Greenery")).toString(), hexString(color));
}

TEST_F(SourceColorTest, ApplicationWithoutAColourfulIconGetsAStablePaletteColour)
{
    workspace.installed.insert(QStringLiteral("org.example.Grey"),
                               {QStringLiteral("Grey"), {}, iconMostly(QColor(0x80, 0x80, 0x80))});
    const QColor grey = SourceColor::defaultColor(QStringLiteral("org.example.Grey"));
    const QColor missing = SourceColor::defaultColor(QStringLiteral("org.example.NotInstalled"));
    EXPECT_GT(grey.hsvSaturation(), 100);
    EXPECT_GT(missing.hsvSaturation(), 100);

    // A fresh start without the remembered map picks the same colours again.
    Platform::defaults().remove(mapKey);
    EXPECT_EQ(SourceColor::defaultColor(QStringLiteral("org.example.Grey")), grey);
    EXPECT_EQ(SourceColor::defaultColor(QStringLiteral("org.example.NotInstalled")), missing);
}

TEST_F(SourceColorTest, RememberedColourWinsAndStaysStable)
{
    Platform::defaults().setValue(
        mapKey, QJsonObject{{QStringLiteral("org.mozilla.firefox"), QStringLiteral("#123456")},
                            {QStringLiteral("broken"), QStringLiteral("not a colour")}});
    EXPECT_EQ(hexString(SourceColor::defaultColor(QStringLiteral("org.mozilla.firefox"))),
              QStringLiteral("#123456"));
    // A stored value that does not parse is replaced by a fresh colour.
    const QColor repaired = SourceColor::defaultColor(QStringLiteral("broken"));
    EXPECT_EQ(storedMap().value(QStringLiteral("broken")).toString(), hexString(repaired));
    EXPECT_EQ(storedMap().value(QStringLiteral("org.mozilla.firefox")),
              QJsonValue(QStringLiteral("#123456")));

    const int requests = workspace.iconRequests;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SourceColor::defaultColor(QStringLiteral("broken")), repaired);
    EXPECT_EQ(workspace.iconRequests, requests);
}

TEST_F(SourceColorTest, MapOfTheWrongTypeIsReplaced)
{
    Platform::defaults().setValue(mapKey, QStringLiteral("nonsense"));
    const QColor color = SourceColor::defaultColor(QStringLiteral("code"));
    EXPECT_EQ(hexString(color), QStringLiteral("#007ACC"));
    EXPECT_EQ(storedMap().value(QStringLiteral("code")), QJsonValue(QStringLiteral("#007ACC")));
}

TEST_F(SourceColorTest, EmptyIdentifierIsColouredButNotRemembered)
{
    const QColor color = SourceColor::defaultColor(QString());
    EXPECT_TRUE(color.isValid());
    EXPECT_FALSE(Platform::defaults().contains(mapKey));
}

TEST_F(SourceColorTest, ThemesChooseTheirColour)
{
    const QString id = QStringLiteral("org.mozilla.firefox");
    const QColor base = SourceColor::color(id, ClipColorTheme::defaultTheme, {});
    EXPECT_EQ(hexString(base), QStringLiteral("#FF7139"));

    const QColor vibrant = SourceColor::color(id, ClipColorTheme::vibrant, {});
    EXPECT_EQ(vibrant, SourceColor::vibrant(base));
    EXPECT_GE(vibrant.hsvSaturation(), base.hsvSaturation());
    EXPECT_GE(vibrant.value(), 216);

    const QList<QColor> shades = SourceColor::accentShades(QStringLiteral("#315BD6"));
    const QColor accent = SourceColor::color(id, ClipColorTheme::accentShades, QStringLiteral("#315BD6"));
    EXPECT_EQ(accent, shades.at(int(SourceColor::stableHash(id) % 10)));
}

TEST(VibrantTest, DimAndGreyishColoursBecomeStrongerAndBrighter)
{
    for (const QColor& base :
         {QColor(0x4A, 0x15, 0x4B), QColor(0x5E, 0x5C, 0x64), QColor(0x80, 0xA0, 0xC0)}) {
        const QColor strong = SourceColor::vibrant(base);
        EXPECT_GT(strong.hsvSaturation(), base.hsvSaturation()) << hexString(base).toStdString();
        EXPECT_GT(strong.value(), base.value()) << hexString(base).toStdString();
        EXPECT_NEAR(strong.hsvHue(), base.hsvHue(), 2) << hexString(base).toStdString();
    }
}

TEST_F(SourceColorTest, HeaderTextReadsOnEverySourceColourInBothAppearances)
{
    QList<QColor> headers;
    for (const char* known : {"firefox", "org.gnome.terminal", "spotify", "slack", "vlc", "code", "obsidian"})
        headers.append(SourceColor::defaultColor(QString::fromLatin1(known)));
    // Enough identifiers to meet every palette colour, under each theme.
    for (int i = 0; i < 96; ++i) {
        const QString id = QStringLiteral("org.example.app%1").arg(i);
        headers.append(SourceColor::defaultColor(id));
        headers.append(SourceColor::vibrant(SourceColor::defaultColor(id)));
    }
    for (const char* accent : {"#FF5A9F", "#FFD60A", "#0A84FF", "#30D158", "#FFFFFF", "#000000", "#808080"})
        headers += SourceColor::accentShades(QString::fromLatin1(accent));
    for (const bool dark : {false, true}) {
        QList<QColor> shown = headers;
        shown.append(Theme::neutralHeader().resolved(dark));
        for (const QColor& header : shown) {
            EXPECT_GE(Theme::contrastRatio(Theme::readableTextOn(header), header), 4.5)
                << hexString(header).toStdString() << (dark ? " dark" : " light");
        }
    }
}

} // namespace
