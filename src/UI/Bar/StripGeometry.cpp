#include "UI/Bar/StripGeometry.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

StripGeometry::StripGeometry(const QAbstractScrollArea& strip, double aspectRatio, int minimumCardHeight)
    : strip_(strip)
    , aspectRatio_(aspectRatio)
    , minimumCardHeight_(minimumCardHeight)
{}

QSize StripGeometry::cardSize() const
{
    const int height = qMax(minimumCardHeight_, strip_.viewport()->height() - 2 * margin);
    return {qRound(height * aspectRatio_), height};
}

int StripGeometry::stride() const
{
    return cardSize().width() + spacing;
}

QRect StripGeometry::cardRect(qsizetype index) const
{
    const int x = margin + int(index) * stride() - strip_.horizontalScrollBar()->value();
    return {QPoint(x, margin), cardSize()};
}

std::optional<qsizetype> StripGeometry::indexAt(const QPoint& viewportPoint, qsizetype count) const
{
    const int x = viewportPoint.x() + strip_.horizontalScrollBar()->value() - margin;
    if (x < 0)
        return std::nullopt;
    const qsizetype index = x / stride();
    if (index >= count || !cardRect(index).contains(viewportPoint))
        return std::nullopt;
    return index;
}

qsizetype StripGeometry::firstPaintedIndex() const
{
    return qMax<qsizetype>(0, (strip_.horizontalScrollBar()->value() - margin) / stride());
}

void StripGeometry::updateScrollRange(qsizetype count) const
{
    const int content = count == 0 ? 0 : 2 * margin + int(count) * stride() - spacing;
    const int viewportWidth = strip_.viewport()->width();
    QScrollBar* bar = strip_.horizontalScrollBar();
    bar->setRange(0, qMax(0, content - viewportWidth));
    bar->setPageStep(viewportWidth);
    bar->setSingleStep(stride());
}
