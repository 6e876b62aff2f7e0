#include "Util/ClipColorTheme.h"

namespace ClipColorThemes {

const QList<ClipColorTheme>& allCases()
{
    static const QList<ClipColorTheme> cases{ClipColorTheme::defaultTheme, ClipColorTheme::vibrant,
                                             ClipColorTheme::accentShades};
    return cases;
}

int rawValue(ClipColorTheme theme)
{
    return static_cast<int>(theme);
}

ClipColorTheme fromStored(qint64 raw)
{
    if (raw == rawValue(ClipColorTheme::vibrant))
        return ClipColorTheme::vibrant;
    if (raw == rawValue(ClipColorTheme::accentShades))
        return ClipColorTheme::accentShades;
    return ClipColorTheme::defaultTheme;
}

} // namespace ClipColorThemes
