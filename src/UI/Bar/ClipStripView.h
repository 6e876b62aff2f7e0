#pragma once

#include "Models/ClipItem.h"
#include "UI/Bar/ClipCardContent.h"
#include "UI/Bar/ClipCardView.h"
#include "UI/Bar/ClipThumbnailCache.h"
#include "UI/Bar/StripGeometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QUuid>
#include <functional>
#include <optional>

class ClipboardStore;
class Settings;

// The horizontal strip of cards. It paints only the cards in view, so thousands of clips
// cost no widgets; the wheel scrolls it sideways, a click on a card reports it.
class ClipStripView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int margin = StripGeometry::margin;
    static constexpr int spacing = StripGeometry::spacing;
    static constexpr int maxCachedContents = 1000;
    static constexpr int quickPasteSlots = 9;

    ClipStripView(ClipboardStore& store, Settings& settings, QWidget* parent = nullptr);

    void setClips(QList<ClipItem> clips);
    const QList<ClipItem>& clips() const { return clips_; }

    std::optional<qsizetype> selectedIndex() const { return selected_; }
    // Selects the card and scrolls it into view.
    void setSelectedIndex(std::optional<qsizetype> index);

    // The first card that is at least half in view; 0 when there are none.
    qsizetype firstIndexInView() const;
    // The card's place in the viewport.
    QRect cardRect(qsizetype index) const;
    std::optional<qsizetype> indexAt(const QPoint& viewportPoint) const;
    // The card as it is painted now.
    ClipCardView cardView(qsizetype index);
    // Drops texts built in an earlier language.
    void clearContents();

    // The clock of the relative times; tests fix it.
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }
    ClipThumbnailCache& thumbnails() { return thumbnails_; }

signals:
    void cardClicked(qsizetype index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct CachedContent {
        QDateTime modified;
        ClipCardContent content;
        // The preview's lines for a card body of textBody.
        QSizeF textBody;
        std::optional<ClipCardText> text;
    };

    StripGeometry geometry() const;
    void updateScrollRange();
    void scrollToIndex(qsizetype index);
    void keepInPlace(const std::optional<QUuid>& anchor, int left);
    const ClipCardContent& contentFor(const ClipItem& clip);
    const ClipCardText& textFor(const ClipItem& clip, const ClipCardContent& content);
    // Our generic application glyph in the colour of a header's text; kept for the next cards.
    const QIcon& genericIcon(const QColor& color);

    ClipboardStore& store_;
    Settings& settings_;
    QList<ClipItem> clips_;
    std::optional<qsizetype> selected_;
    std::optional<qsizetype> pressed_;
    QHash<QUuid, CachedContent> contents_;
    ClipThumbnailCache thumbnails_;
    std::function<QDateTime()> now_;
    QIcon genericIcon_;
    QColor genericIconColor_;
};
