#pragma once

#include <QString>

class QFontMetricsF;

// The last shown line of a text cut short: it ends in "…" and stays within `width`, keeping
// its indentation; white space before the cut is dropped. A line that already ends in "…"
// (elided for being too wide) is returned as it is.
QString lineEndingInEllipsis(const QString& line, const QFontMetricsF& metrics, qreal width);
