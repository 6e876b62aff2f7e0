#include "UI/Theme.h"

#include "UI/Appearance.h"

#include <algorithm>
#include <cmath>

namespace {

QColor fromRgb(quint32 rgb)
{
    return QColor::fromRgb(QRgb(0xFF000000u | (rgb & 0xFFFFFFu)));
}

} // namespace

QColor AdaptiveColor::resolved(bool isDark) const
{
    return fromRgb(isDark ? dark : light);
}

QColor AdaptiveColor::color() const
{
    return resolved(Appearance::shared().isDark());
}

namespace Theme {

AdaptiveColor adaptiveNS(quint32 light, quint32 dark)
{
    return AdaptiveColor{light & 0xFFFFFFu, dark & 0xFFFFFFu};
}

AdaptiveColor window()
{
    return adaptiveNS(0xFFFFFF, 0x1C1F26);
}

AdaptiveColor sidebar()
{
    return adaptiveNS(0xF5F6F8, 0x191C22);
}

AdaptiveColor chat()
{
    return adaptiveNS(0xFAFBFC, 0x1B1E24);
}

AdaptiveColor cardBody()
{
    return adaptiveNS(0xFFFFFF, 0x252A33);
}

AdaptiveColor cardBorder()
{
    return adaptiveNS(0xE2E5EA, 0x363C48);
}

AdaptiveColor pillBG()
{
    return adaptiveNS(0xECEEF2, 0x303643);
}

AdaptiveColor selection()
{
    return adaptiveNS(0x315BD6, 0xA5BAFF);
}

AdaptiveColor warning()
{
    return adaptiveNS(0xAD4E0A, 0xFFA95E);
}

AdaptiveColor fieldBorder()
{
    return adaptiveNS(0x80858F, 0x7A808C);
}

AdaptiveColor chromeTextPrimary()
{
    return adaptiveNS(0x20232B, 0xEEF0F5);
}

AdaptiveColor chromeTextSecondary()
{
    return adaptiveNS(0x414652, 0xC6CBD6);
}

AdaptiveColor chromeTextTertiary()
{
    return adaptiveNS(0x626A78, 0xA0A9BA);
}

AdaptiveColor barBackground()
{
    return adaptiveNS(0xE9ECF1, 0x14171C);
}

AdaptiveColor neutralHeader()
{
    return adaptiveNS(0xDADFE7, 0x3A414F);
}

double relativeLuminance(const QColor& color)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) + 0.0722 * linear(rgb.blueF());
}

double contrastRatio(const QColor& a, const QColor& b)
{
    const double first = relativeLuminance(a);
    const double second = relativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor readableTextOn(const QColor& background)
{
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    return contrastRatio(white, background) >= contrastRatio(black, background) ? white : black;
}

QColor withContrast(const QColor& color, const QColor& background, double ratio)
{
    const QColor end = readableTextOn(background);
    QColor shade = color.toRgb();
    // Blend toward the end colour in small steps: the hue stays, the contrast only grows.
    constexpr int steps = 50;
    for (int step = 1; step <= steps && contrastRatio(shade, background) < ratio; ++step) {
        const double t = double(step) / steps;
        const QColor from = color.toRgb();
        shade = QColor::fromRgbF(float(from.redF() + (end.redF() - from.redF()) * t),
                                 float(from.greenF() + (end.greenF() - from.greenF()) * t),
                                 float(from.blueF() + (end.blueF() - from.blueF()) * t));
    }
    return shade;
}

} // namespace Theme
