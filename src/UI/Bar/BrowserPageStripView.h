#pragma once

#include "BrowserLinks/BrowserPage.h"
#include "UI/Bar/BrowserPageCardView.h"
#include "UI/Bar/StripGeometry.h"

#include <QAbstractScrollArea>
#include <optional>

class BrowserShelfModel;

// The horizontal strip of page cards of the browser shelf. It reads the visible pages, the
// selection and the focus from the model each time it paints, keeps the focused card in view,
// and reports a click on a card with the modifiers held.
class BrowserPageStripView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int margin = StripGeometry::margin;
    static constexpr int spacing = StripGeometry::spacing;
    static constexpr int quickPasteSlots = 9;

    explicit BrowserPageStripView(BrowserShelfModel& model, QWidget* parent = nullptr);

    // The number of cards, as the model lists pages now.
    qsizetype count() const;
    QRect cardRect(qsizetype index) const;
    std::optional<qsizetype> indexAt(const QPoint& viewportPoint) const;
    // The card as it is painted now.
    BrowserPageCardView cardView(qsizetype index) const;
    // Brings the focused card into view.
    void showFocus();

signals:
    void cardClicked(const BrowserPage& page, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    StripGeometry geometry() const;
    void updateScrollRange();
    void pagesChanged();

    BrowserShelfModel& model_;
    std::optional<BrowserPage> pressed_;
};
