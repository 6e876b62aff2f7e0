#include "Util/ColorHex.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qsizetype rgbDigits = 6;
constexpr qsizetype rgbaDigits = 8;

bool isHexDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

int component(QStringView text, qsizetype index)
{
    return text.mid(index * 2, 2).toInt(nullptr, 16);
}

QString twoDigits(float component)
{
    const long value = std::clamp(std::lround(component * 255.0f), 0L, 255L);
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

std::optional<QColor> colorFromHex(const QString& text)
{
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(u'#'))
        digits = digits.mid(1);
    if ((digits.size() != rgbDigits && digits.size() != rgbaDigits) || !isHexDigits(digits))
        return std::nullopt;
    const int alpha = digits.size() == rgbaDigits ? component(digits, 3) : 255;
    return QColor(component(digits, 0), component(digits, 1), component(digits, 2), alpha);
}

QString hexString(const QColor& color)
{
    const QColor rgb = color.isValid() ? color.toRgb() : color;
    return QLatin1Char('#') + twoDigits(rgb.redF()) + twoDigits(rgb.greenF()) + twoDigits(rgb.blueF());
}
