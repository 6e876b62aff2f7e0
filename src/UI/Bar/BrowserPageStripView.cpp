#include "UI/Bar/BrowserPageStripView.h"

#include "BrowserLinks/BrowserShelfModel.h"
#include "UI/Bar/StripWheel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

constexpr int minimumCardHeight = 100;

} // namespace

BrowserPageStripView::BrowserPageStripView(BrowserShelfModel& model, QWidget* parent)
    : QAbstractScrollArea(parent)
    , model_(model)
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    for (auto changed : {&BrowserShelfModel::resultsChanged, &BrowserShelfModel::queryChanged,
                         &BrowserShelfModel::browserChanged})
        connect(&model_, changed, this, &BrowserPageStripView::pagesChanged);
    connect(&model_, &BrowserShelfModel::selectedIDsChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&model_, &BrowserShelfModel::focusedIDChanged, this, &BrowserPageStripView::showFocus);
    updateScrollRange();
}

qsizetype BrowserPageStripView::count() const
{
    return model_.pages().size();
}

StripGeometry BrowserPageStripView::geometry() const
{
    return {*this, BrowserPageCardView::aspectRatio, minimumCardHeight};
}

QRect BrowserPageStripView::cardRect(qsizetype index) const
{
    return geometry().cardRect(index);
}

std::optional<qsizetype> BrowserPageStripView::indexAt(const QPoint& viewportPoint) const
{
    return geometry().indexAt(viewportPoint, count());
}

BrowserPageCardView BrowserPageStripView::cardView(qsizetype index) const
{
    const BrowserPage page = model_.pages().value(index);
    BrowserPageCardView card;
    card.browserName = LinkBrowsers::displayName(page.browser);
    card.title = page.title.trimmed().isEmpty() ? page.url : page.title;
    card.address = page.url;
    card.selected = model_.selectedIDs().contains(page.id);
    card.focused = model_.focusedID() == page.id;
    card.quickPasteNumber = index < quickPasteSlots ? int(index) + 1 : 0;
    return card;
}

void BrowserPageStripView::pagesChanged()
{
    updateScrollRange();
    viewport()->update();
}

void BrowserPageStripView::updateScrollRange()
{
    geometry().updateScrollRange(count());
}

void BrowserPageStripView::showFocus()
{
    viewport()->update();
    const QList<BrowserPage> pages = model_.pages();
    const auto focused = std::find_if(pages.cbegin(), pages.cend(),
                                      [&](const BrowserPage& page) { return page.id == model_.focusedID(); });
    if (focused == pages.cend())
        return;
    const QRect card = cardRect(focused - pages.cbegin());
    QScrollBar* bar = horizontalScrollBar();
    if (card.left() < margin)
        bar->setValue(bar->value() + card.left() - margin);
    else if (card.right() > viewport()->width() - margin)
        bar->setValue(bar->value() + card.right() - viewport()->width() + margin);
}

void BrowserPageStripView::paintEvent(QPaintEvent*)
{
    const qsizetype cards = count();
    QPainter painter(viewport());
    const qsizetype first = geometry().firstPaintedIndex();
    for (qsizetype index = first; index < cards; ++index) {
        const QRect rect = cardRect(index);
        if (rect.left() > viewport()->width())
            break;
        cardView(index).paint(painter, rect);
    }
}

void BrowserPageStripView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void BrowserPageStripView::wheelEvent(QWheelEvent* event)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - StripWheel::delta(*event));
    event->accept();
}

void BrowserPageStripView::mousePressEvent(QMouseEvent* event)
{
    pressed_.reset();
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<qsizetype> index = indexAt(event->position().toPoint()))
            pressed_ = model_.pages().value(*index);
    }
    event->accept();
}

void BrowserPageStripView::mouseReleaseEvent(QMouseEvent* event)
{
    const std::optional<BrowserPage> pressed = std::exchange(pressed_, std::nullopt);
    const std::optional<qsizetype> released = indexAt(event->position().toPoint());
    // The page under the pointer must still be the one pressed: a result may have arrived.
    if (event->button() == Qt::LeftButton && pressed && released &&
        model_.pages().value(*released) == *pressed)
        emit cardClicked(*pressed, event->modifiers());
    event->accept();
}

void BrowserPageStripView::scrollContentsBy(int, int)
{
    viewport()->update();
}
