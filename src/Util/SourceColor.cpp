#include "Util/SourceColor.h"

#include "Platform/Defaults.h"
#include "Util/AppIconProvider.h"
#include "Util/ColorHex.h"

#include <QIcon>
#include <QImage>
#include <QJsonObject>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <optional>

namespace SourceColor {

namespace {

const QString colorMapKey = QStringLiteral("appColorMap");
constexpr QRgb systemPink = 0xFF2D55;

constexpr quint32 fnvOffsetBasis = 2166136261u;
constexpr quint32 fnvPrime = 16777619u;

// Shades step this far in HSL lightness and stay within these bounds.
constexpr double shadeStep = 0.06;
constexpr double shadeLightest = 0.9;
constexpr double shadeDarkest = 0.15;

// Icon sampling: pixels fainter, greyer or darker than these say nothing about the colour.
constexpr int iconSampleSize = 32;
constexpr int minimumAlpha = 128;
constexpr double minimumSaturation = 0.25;
constexpr double minimumValue = 0.2;
constexpr int hueBuckets = 12;
// The winning hue must cover at least this share of the icon's pixels.
constexpr double minimumHueShare = 0.05;
constexpr double iconLightnessLow = 0.35;
constexpr double iconLightnessHigh = 0.65;

// The vibrant theme: more saturated and never dim.
constexpr double vibrantSaturationGain = 1.3;
constexpr double vibrantSaturationLift = 0.2;
constexpr double vibrantMinimumValue = 0.85;

struct KnownColor {
    const char* id;
    QRgb rgb;
};

// Colours users know these applications by, keyed by lower-case desktop-entry id.
constexpr KnownColor knownColors[] = {
    {"firefox", 0xFF7139},
    {"firefox-esr", 0xFF7139},
    {"org.mozilla.firefox", 0xFF7139},
    {"thunderbird", 0x0A84FF},
    {"org.mozilla.thunderbird", 0x0A84FF},
    {"google-chrome", 0x4285F4},
    {"com.google.chrome", 0x4285F4},
    {"chromium", 0x4C8BF5},
    {"chromium-browser", 0x4C8BF5},
    {"org.chromium.chromium", 0x4C8BF5},
    {"microsoft-edge", 0x0C7CD5},
    {"code", 0x007ACC},
    {"com.visualstudio.code", 0x007ACC},
    {"org.gnome.texteditor", 0x3584E4},
    {"org.gnome.gedit", 0x3584E4},
    {"org.gnome.nautilus", 0x62A0EA},
    {"org.gnome.terminal", 0x5E5C64},
    {"org.gnome.console", 0x5E5C64},
    {"org.kde.konsole", 0x31363B},
    {"org.kde.dolphin", 0x1D99F3},
    {"org.kde.kate", 0x1D99F3},
    {"libreoffice-writer", 0x2A6099},
    {"libreoffice-calc", 0x1E8F4A},
    {"libreoffice-impress", 0xD0661B},
    {"org.telegram.desktop", 0x2AABEE},
    {"slack", 0x4A154B},
    {"com.slack.slack", 0x4A154B},
    {"discord", 0x5865F2},
    {"com.discordapp.discord", 0x5865F2},
    {"spotify", 0x1DB954},
    {"com.spotify.client", 0x1DB954},
    {"signal-desktop", 0x3A76F0},
    {"org.signal.signal", 0x3A76F0},
    {"obsidian", 0x7C3AED},
    {"md.obsidian.obsidian", 0x7C3AED},
    {"vlc", 0xFF8800},
    {"org.videolan.vlc", 0xFF8800},
    {"org.keepassxc.keepassxc", 0x6CAC4D},
    {"zoom", 0x2D8CFF},
};

constexpr std::array<QRgb, 12> palette = {0xE8590C, 0xF59F00, 0x40C057, 0x12B886, 0x15AABF, 0x228BE6,
                                          0x4C6EF5, 0x7950F2, 0xBE4BDB, 0xE64980, 0xFA5252, 0x82C91E};

QColor fromRgb(QRgb rgb)
{
    return QColor::fromRgb(0xFF000000u | rgb);
}

std::optional<QColor> knownColor(const QString& bundleID)
{
    QString id = bundleID.toLower();
    if (id.endsWith(QStringLiteral(".desktop")))
        id.chop(int(qstrlen(".desktop")));
    for (const KnownColor& known : knownColors) {
        if (id == QLatin1String(known.id))
            return fromRgb(known.rgb);
    }
    return std::nullopt;
}

QColor withLightnessIn(const QColor& color, double low, double high)
{
    const QColor hsl = color.toHsl();
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(),
                            std::clamp(double(hsl.lightnessF()), low, high));
}

// The most common saturated hue of the icon, averaged over its pixels.
std::optional<QColor> iconColor(const QString& bundleID)
{
    const QImage image = AppIconProvider::icon(bundleID)
                             .pixmap(iconSampleSize, iconSampleSize)
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;
    struct Bucket {
        double weight = 0, red = 0, green = 0, blue = 0;
    };
    std::array<Bucket, hueBuckets> buckets{};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < minimumAlpha || pixel.hsvSaturationF() < minimumSaturation ||
                pixel.valueF() < minimumValue)
                continue;
            Bucket& bucket = buckets[std::min(hueBuckets - 1, int(pixel.hsvHueF() * hueBuckets))];
            const double weight = pixel.hsvSaturationF() * pixel.alphaF();
            bucket.weight += weight;
            bucket.red += pixel.redF() * weight;
            bucket.green += pixel.greenF() * weight;
            bucket.blue += pixel.blueF() * weight;
        }
    }
    const Bucket& best = *std::max_element(buckets.begin(), buckets.end(),
                                           [](auto& a, auto& b) { return a.weight < b.weight; });
    if (best.weight < minimumHueShare * image.width() * image.height())
        return std::nullopt;
    const QColor average = QColor::fromRgbF(float(best.red / best.weight), float(best.green / best.weight),
                                            float(best.blue / best.weight));
    return withLightnessIn(average, iconLightnessLow, iconLightnessHigh);
}

QColor paletteColor(const QString& bundleID)
{
    return fromRgb(palette[stableHash(bundleID) % palette.size()]);
}

std::optional<QColor> rememberedColor(const QString& bundleID)
{
    const QJsonValue stored = Platform::defaults().value(colorMapKey).toObject().value(bundleID);
    return stored.isString() ? colorFromHex(stored.toString()) : std::nullopt;
}

void remember(const QString& bundleID, const QColor& color)
{
    Platform::Defaults& defaults = Platform::defaults();
    QJsonObject map = defaults.value(colorMapKey).toObject();
    map.insert(bundleID, hexString(color));
    defaults.setValue(colorMapKey, map);
}

} // namespace

quint32 stableHash(const QString& bundleID)
{
    quint32 hash = fnvOffsetBasis;
    for (const char byte : bundleID.toUtf8()) {
        hash ^= quint8(byte);
        hash *= fnvPrime;
    }
    return hash;
}

QColor defaultColor(const QString& bundleID)
{
    if (bundleID.isEmpty())
        return paletteColor(bundleID);
    if (const auto remembered = rememberedColor(bundleID))
        return *remembered;
    std::optional<QColor> color = knownColor(bundleID);
    if (!color)
        color = iconColor(bundleID);
    const QColor chosen = color.value_or(paletteColor(bundleID));
    remember(bundleID, chosen);
    return chosen;
}

QColor vibrant(const QColor& base)
{
    const QColor hsv = base.toHsv();
    const double saturation =
        std::min(1.0, hsv.hsvSaturationF() * vibrantSaturationGain + vibrantSaturationLift);
    const double value = std::max(vibrantMinimumValue, double(hsv.valueF()));
    return QColor::fromHsvF(hsv.hsvHueF(), saturation, value);
}

QList<QColor> accentShades(const QString& accentHex)
{
    const QColor base = colorFromHex(accentHex).value_or(fromRgb(systemPink)).toHsl();
    const double halfSpan = shadeStep * (accentShadeCount - 1) / 2;
    double darkest = base.lightnessF() - halfSpan;
    darkest = std::clamp(darkest, shadeDarkest, shadeLightest - 2 * halfSpan);
    QList<QColor> shades;
    for (int i = 0; i < accentShadeCount; ++i)
        shades.append(
            QColor::fromHslF(base.hslHueF(), base.hslSaturationF(), darkest + i * shadeStep).toRgb());
    return shades;
}

QColor color(const QString& bundleID, ClipColorTheme theme, const QString& accentHex)
{
    switch (theme) {
    case ClipColorTheme::vibrant:
        return vibrant(defaultColor(bundleID));
    case ClipColorTheme::accentShades:
        return accentShades(accentHex).at(int(stableHash(bundleID) % accentShadeCount));
    case ClipColorTheme::defaultTheme:
        break;
    }
    return defaultColor(bundleID);
}

} // namespace SourceColor
