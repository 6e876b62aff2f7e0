#include "UI/Bar/ClipStripView.h"

#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Bar/StripWheel.h"
#include "UI/Symbols.h"
#include "UI/Theme.h"
#include "Util/AppIconProvider.h"
#include "Util/RelativeDate.h"
#include "Util/SourceColor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {

constexpr int minimumCardHeight = 120;

} // namespace

ClipStripView::ClipStripView(ClipboardStore& store, Settings& settings, QWidget* parent)
    : QAbstractScrollArea(parent)
    , store_(store)
    , settings_(settings)
    , now_([] { return QDateTime::currentDateTimeUtc(); })
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    connect(&thumbnails_, &ClipThumbnailCache::thumbnailReady, viewport(), qOverload<>(&QWidget::update));
    connect(&settings_, &Settings::clipColorThemeChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&settings_, &Settings::clipColorAccentHexChanged, viewport(), qOverload<>(&QWidget::update));
}

void ClipStripView::setClips(QList<ClipItem> clips)
{
    std::optional<QUuid> anchor;
    int anchorLeft = margin;
    if (!clips_.isEmpty()) {
        const qsizetype first = firstIndexInView();
        anchor = clips_.at(first).id;
        anchorLeft = cardRect(first).left();
    }
    clips_ = std::move(clips);
    if (contents_.size() > maxCachedContents)
        contents_.clear();
    if (selected_ && *selected_ >= clips_.size())
        selected_.reset();
    updateScrollRange();
    keepInPlace(anchor, anchorLeft);
    viewport()->update();
}

// A clip added or removed before the cards in view must not move them under the pointer.
void ClipStripView::keepInPlace(const std::optional<QUuid>& anchor, int left)
{
    const auto found = !anchor ? clips_.cend()
                               : std::find_if(clips_.cbegin(), clips_.cend(),
                                              [&](const ClipItem& clip) { return clip.id == *anchor; });
    if (found == clips_.cend()) {
        horizontalScrollBar()->setValue(0);
        return;
    }
    horizontalScrollBar()->setValue(margin + int(found - clips_.cbegin()) * geometry().stride() - left);
}

void ClipStripView::setSelectedIndex(std::optional<qsizetype> index)
{
    if (index && (*index < 0 || *index >= clips_.size()))
        index.reset();
    selected_ = index;
    if (selected_)
        scrollToIndex(*selected_);
    viewport()->update();
}

StripGeometry ClipStripView::geometry() const
{
    return {*this, ClipCardView::aspectRatio, minimumCardHeight};
}

QRect ClipStripView::cardRect(qsizetype index) const
{
    return geometry().cardRect(index);
}

qsizetype ClipStripView::firstIndexInView() const
{
    if (clips_.isEmpty())
        return 0;
    const int offset = horizontalScrollBar()->value() - margin + geometry().cardSize().width() / 2;
    return qBound(qsizetype(0), qsizetype(qMax(0, offset) / geometry().stride()), clips_.size() - 1);
}

std::optional<qsizetype> ClipStripView::indexAt(const QPoint& viewportPoint) const
{
    return geometry().indexAt(viewportPoint, clips_.size());
}

void ClipStripView::updateScrollRange()
{
    geometry().updateScrollRange(clips_.size());
}

void ClipStripView::scrollToIndex(qsizetype index)
{
    const QRect card = cardRect(index);
    QScrollBar* bar = horizontalScrollBar();
    // A card wider than the room (a viewport not laid out yet) aligns by its left edge.
    const int overflow = qMin(card.right() - viewport()->width() + margin, card.left() - margin);
    if (card.left() < margin)
        bar->setValue(bar->value() + card.left() - margin);
    else if (overflow > 0)
        bar->setValue(bar->value() + overflow);
}

const ClipCardContent& ClipStripView::contentFor(const ClipItem& clip)
{
    CachedContent& cached = contents_[clip.id];
    const QDateTime modified = clip.lastModified();
    if (cached.modified != modified || cached.content.title.isEmpty()) {
        cached.modified = modified;
        cached.content = ClipCardContent::of(clip);
        cached.text.reset();
    }
    return cached.content;
}

const ClipCardText& ClipStripView::textFor(const ClipItem& clip, const ClipCardContent& content)
{
    CachedContent& cached = contents_[clip.id];
    const QSizeF body = ClipCardView::bodySize(geometry().cardSize());
    if (!cached.text || cached.textBody != body) {
        cached.text = ClipCardView::bodyText(content, body);
        cached.textBody = body;
    }
    return *cached.text;
}

const QIcon& ClipStripView::genericIcon(const QColor& color)
{
    if (genericIconColor_ != color || genericIcon_.isNull()) {
        genericIcon_ = Symbols::icon(QStringLiteral("app"), color, int(ClipCardView::iconSize));
        genericIconColor_ = color;
    }
    return genericIcon_;
}

ClipCardView ClipStripView::cardView(qsizetype index)
{
    const ClipItem& clip = clips_.at(index);
    ClipCardView card;
    card.type = clip.type;
    card.content = contentFor(clip);
    if (AppIconProvider::isInstalled(clip.sourceBundleID)) {
        card.appIcon = AppIconProvider::icon(clip.sourceBundleID);
        card.sourceColor = SourceColor::color(*clip.sourceBundleID, settings_.clipColorTheme(),
                                              settings_.clipColorAccentHex());
    } else {
        // A window class or a program without a desktop entry has no colour or icon of its own.
        card.sourceColor = Theme::neutralHeader();
        card.appIcon = genericIcon(Theme::readableTextOn(card.sourceColor));
    }
    card.sourceName = clip.sourceAppName.value_or(clip.sourceBundleID.value_or(QString())).trimmed();
    card.timeText = RelativeDate::text(clip.createdAt, now_());
    if (clip.type == ClipType::text || clip.type == ClipType::file ||
        (clip.type == ClipType::richText && !card.content.richText))
        card.laidOutText = textFor(clip, card.content);
    card.selected = selected_ == index;
    const qsizetype slot = index - firstIndexInView();
    card.quickPasteNumber = slot >= 0 && slot < quickPasteSlots ? int(slot) + 1 : 0;
    if (clip.type == ClipType::image) {
        const std::optional<QString> path = store_.imageFilePath(clip);
        const QSize size = geometry().cardSize() * devicePixelRatioF();
        switch (thumbnails_.request(path.value_or(QString()), size, &card.thumbnail)) {
        case ClipThumbnailCache::State::ready:
            card.imageState = ClipCardView::ImageState::ready;
            break;
        case ClipThumbnailCache::State::loading:
            card.imageState = ClipCardView::ImageState::loading;
            break;
        case ClipThumbnailCache::State::failed:
            card.imageState = ClipCardView::ImageState::missing;
            break;
        }
    }
    return card;
}

void ClipStripView::clearContents()
{
    contents_.clear();
    viewport()->update();
}

void ClipStripView::paintEvent(QPaintEvent*)
{
    if (clips_.isEmpty())
        return;
    QPainter painter(viewport());
    const qsizetype first = geometry().firstPaintedIndex();
    for (qsizetype index = first; index < clips_.size(); ++index) {
        const QRect rect = cardRect(index);
        if (rect.left() > viewport()->width())
            break;
        cardView(index).paint(painter, rect);
    }
}

void ClipStripView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    if (selected_)
        scrollToIndex(*selected_);
}

void ClipStripView::wheelEvent(QWheelEvent* event)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - StripWheel::delta(*event));
    event->accept();
}

void ClipStripView::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton ? indexAt(event->position().toPoint()) : std::nullopt;
    event->accept();
}

void ClipStripView::mouseReleaseEvent(QMouseEvent* event)
{
    const std::optional<qsizetype> released = indexAt(event->position().toPoint());
    const std::optional<qsizetype> pressed = std::exchange(pressed_, std::nullopt);
    if (event->button() == Qt::LeftButton && pressed && pressed == released)
        emit cardClicked(*pressed);
    event->accept();
}

void ClipStripView::scrollContentsBy(int, int)
{
    viewport()->update();
}
