#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// One card of the browser shelf, painted where the strip places it: a header with the
// browser's name and the card's quick-paste number, and a body with the page's title and its
// address. Selected cards are tinted, the focused one is outlined. Texts are plain text.
struct BrowserPageCardView {
    static constexpr qreal cornerRadius = 12;
    static constexpr qreal headerHeight = 40;
    // Width over height of a card.
    static constexpr qreal aspectRatio = 1.2;

    QString browserName;
    // The page's title, or its address when the title is empty.
    QString title;
    QString address;
    bool selected = false;
    bool focused = false;
    // The number that quick-pastes the card; 0 for none.
    int quickPasteNumber = 0;

    bool operator==(const BrowserPageCardView&) const = default;

    void paint(QPainter& painter, const QRectF& rect) const;

private:
    void paintHeader(QPainter& painter, const QRectF& rect) const;
    void paintBody(QPainter& painter, const QRectF& rect) const;
};
