#include "UI/ElidedLines.h"

#include <QFontMetricsF>

QString lineEndingInEllipsis(const QString& line, const QFontMetricsF& metrics, qreal width)
{
    const QChar ellipsis(0x2026);
    if (line.endsWith(ellipsis))
        return line;
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return metrics.elidedText(line.left(end) + ellipsis, Qt::ElideRight, width);
}
