#pragma once

#include <QString>

// Prose in which about one word in eight is accented, cut to the length.
inline QString accentedProse(int length)
{
    static const QString prose =
        QStringLiteral("The café on the corner serves a crème brûlée that the naïve tourist from "
                       "Zürich orders with coffee; its façade was painted in the same year as the "
                       "old town hall, and every résumé of the street names it. ");
    return prose.repeated(length / prose.size() + 1).left(length);
}
