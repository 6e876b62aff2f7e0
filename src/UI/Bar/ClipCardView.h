#pragma once

#include "Models/ClipType.h"
#include "UI/Bar/ClipCardContent.h"
#include "UI/Bar/ClipCardText.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QRectF>
#include <QString>
#include <optional>

class QFontMetricsF;
class QPainter;

// One card of the strip, painted where the strip places it: a header in the source
// application's colour with the kind, the quick-paste number, the source's name, the time and
// the application's icon, and a body with the preview. Every text from the clip is drawn as
// plain text, except a rich-text clip's own formatting.
struct ClipCardView {
    enum class ImageState { none, loading, ready, missing };

    static constexpr qreal cornerRadius = 12;
    static constexpr qreal headerHeight = 48;
    static constexpr qreal iconSize = 28;
    // Width over height of a card.
    static constexpr qreal aspectRatio = 0.92;
    // The selection ring lies this far outside the card.
    static constexpr qreal selectionRingOffset = 4;

    ClipType type = ClipType::text;
    ClipCardContent content;
    QIcon appIcon;
    QColor sourceColor;
    QString sourceName;
    QString timeText;
    QImage thumbnail;
    ImageState imageState = ImageState::none;
    bool selected = false;
    // Shown in the header while in view: the number that quick-pastes the card; 0 for none.
    int quickPasteNumber = 0;
    // The text's lines as bodyText() lays them out for this card, when the strip kept them.
    std::optional<ClipCardText> laidOutText;

    // The room for the preview in a card of the given size.
    static QSizeF bodySize(const QSizeF& cardSize);
    // The lines of a text preview in that room, leaving a line for the length where text is left out.
    static ClipCardText bodyText(const ClipCardContent& content, const QSizeF& body);

    void paint(QPainter& painter, const QRectF& rect) const;
    // The header's second line: number, source and time, as far as each is known.
    QString captionText() const;
    // That line as it fits the given width: the source's name gives way before the time does.
    QString fittedCaption(const QFontMetricsF& metrics, qreal width) const;
    // Whether a text, file or link card leaves some of its text out of a body of the given
    // size, and so shows the clip's length under it.
    bool showsLength(const QSizeF& body) const;

private:
    void paintShadow(QPainter& painter, const QRectF& rect) const;
    void paintHeader(QPainter& painter, const QRectF& rect) const;
    void paintBody(QPainter& painter, const QRectF& rect) const;
    void paintText(QPainter& painter, const QRectF& rect) const;
    void paintRichText(QPainter& painter, const QRectF& rect) const;
    void paintLink(QPainter& painter, const QRectF& rect) const;
    void paintImage(QPainter& painter, const QRectF& rect) const;
    void paintColor(QPainter& painter, const QRectF& rect) const;
    // The clip's length under the body, where the preview leaves text out.
    void paintLength(QPainter& painter, const QRectF& rect) const;
};
