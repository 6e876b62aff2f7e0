#include "UI/VelloraTypography.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace VelloraTypography {

namespace {

constexpr int titleSize = 14;
constexpr int bodySize = 13;
constexpr int controlSize = 12;
constexpr int sourceSize = 12;
constexpr int captionSize = 11;
constexpr int codeSize = 11;

QFont sized(QFont font, int pixelSize, QFont::Weight weight)
{
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont applicationFont(int pixelSize, QFont::Weight weight)
{
    return sized(QGuiApplication::font(), pixelSize, weight);
}

} // namespace

QFont title()
{
    return applicationFont(titleSize, QFont::Medium);
}

QFont body()
{
    return applicationFont(bodySize, QFont::Normal);
}

QFont control()
{
    return applicationFont(controlSize, QFont::Medium);
}

QFont source()
{
    return applicationFont(sourceSize, QFont::Normal);
}

QFont caption()
{
    return applicationFont(captionSize, QFont::Normal);
}

QFont code()
{
    QFont font = sized(QFontDatabase::systemFont(QFontDatabase::FixedFont), codeSize, QFont::Normal);
    font.setStyleHint(QFont::Monospace);
    return font;
}

bool isCode(const QString& text)
{
    for (const QLatin1String marker :
         {QLatin1String("func "), QLatin1String("@MainActor"), QLatin1String("error:")}) {
        if (text.contains(marker, Qt::CaseSensitive))
            return true;
    }
    return false;
}

} // namespace VelloraTypography
