#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QAbstractScrollArea;

// Where the cards of a horizontal strip lie: a row of equal cards, `margin` around them and
// `spacing` between, each as high as the viewport leaves room for (but at least a minimum)
// and as wide as its aspect ratio. Positions are in viewport coordinates, scrolled by the
// strip's horizontal scroll bar.
class StripGeometry {
public:
    static constexpr int margin = 16;
    static constexpr int spacing = 14;

    StripGeometry(const QAbstractScrollArea& strip, double aspectRatio, int minimumCardHeight);

    QSize cardSize() const;
    // A card's width and the spacing after it.
    int stride() const;
    QRect cardRect(qsizetype index) const;
    // The card of `count` under the point; none over a margin or a gap.
    std::optional<qsizetype> indexAt(const QPoint& viewportPoint, qsizetype count) const;
    // The first card that may show, for painting from.
    qsizetype firstPaintedIndex() const;
    // Sets the scroll bar's range to hold `count` cards, a page to the viewport's width and
    // a step to one card.
    void updateScrollRange(qsizetype count) const;

private:
    const QAbstractScrollArea& strip_;
    double aspectRatio_;
    int minimumCardHeight_;
};
