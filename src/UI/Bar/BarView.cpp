#include "UI/Bar/BarView.h"

#include "BrowserLinks/BrowserShelfModel.h"
#include "Models/ClipSearch.h"
#include "Store/ClipboardStore.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BrowserShelfView.h"
#include "UI/Bar/ClipSelectionPolicy.h"
#include "UI/Bar/ClipStripView.h"
#include "UI/Bar/PinboardTabs.h"
#include "UI/Theme.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTooltip.h"
#include "UI/VelloraTypography.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedLayout>
#include <QThreadPool>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

constexpr int toolbarTopMargin = 12;
constexpr int toolbarSpacing = 8;
constexpr int tabsGap = 16;
// From this many clips a typed search runs off the main thread; shorter lists are searched
// well within a frame.
constexpr qsizetype typedSearchFrom = 1000;

bool hasPinboard(const QList<Pinboard>& pinboards, const QUuid& id)
{
    return std::any_of(pinboards.begin(), pinboards.end(),
                       [&](const Pinboard& pinboard) { return pinboard.id == id; });
}

} // namespace

BarView::BarView(ClipboardStore& store, Settings& settings, BrowserShelfModel& browserShelf, QWidget* parent)
    : QWidget(parent)
    , store_(store)
    , settings_(settings)
    , browserShelf_(browserShelf)
    , typedSearch_(std::make_shared<ClipSearch>())
    , newestSearch_(std::make_shared<std::atomic<quint64>>(0))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeToolbar());

    strip_ = new ClipStripView(store_, settings_, this);
    emptyLabel_ = new QLabel(this);
    emptyLabel_->setTextFormat(Qt::PlainText);
    emptyLabel_->setAlignment(Qt::AlignCenter);
    emptyLabel_->setFont(VelloraTypography::title());
    emptyLabel_->setForegroundRole(QPalette::PlaceholderText);
    shelf_ = new BrowserShelfView(browserShelf_, this);
    stack_ = new QStackedLayout;
    stack_->addWidget(strip_);
    stack_->addWidget(emptyLabel_);
    stack_->addWidget(shelf_);
    layout->addLayout(stack_, 1);

    searchThread_.setMaxThreadCount(1);
    connect(searchField_, &QLineEdit::textChanged, this, &BarView::searchChanged);
    connect(searchField_, &BarSearchField::painted, this, &BarView::fieldPainted);
    connect(tabs_, &PinboardTabs::sourceSelected, this, &BarView::sourceRequested);
    connect(browserTabsButton_, &QToolButton::clicked, this, [this] {
        const bool onShelf = source_.kind == BarSource::Kind::browserShelf;
        emit sourceRequested(onShelf ? BarSource::history() : BarSource::browserShelf());
    });
    connect(shelf_, &BrowserShelfView::pasteRequested, this, &BarView::browserPagesPasteRequested);
    connect(settingsButton_, &QToolButton::clicked, this, &BarView::settingsRequested);
    connect(strip_, &ClipStripView::cardClicked, this, [this](qsizetype index) {
        select(index);
        emit clipClicked(strip_->clips().at(index));
    });
    connect(&store_, &ClipboardStore::historyChanged, this, [this] {
        if (source_.kind == BarSource::Kind::history)
            reload();
    });
    connect(&store_, &ClipboardStore::pinboardsChanged, this, &BarView::pinboardsChanged);
    connect(&store_, &ClipboardStore::selectionChanged, this, &BarView::showSelection);
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { retranslate(); });

    tabs_->setPinboards(store_.pinboards());
    reload();
}

QWidget* BarView::makeToolbar()
{
    auto* toolbar = new QWidget(this);
    auto* row = new QHBoxLayout(toolbar);
    // The search field lines up with the first card below it.
    row->setContentsMargins(ClipStripView::margin, toolbarTopMargin, ClipStripView::margin, 0);
    row->setSpacing(toolbarSpacing);
    searchField_ = new BarSearchField(toolbar);
    tabs_ = new PinboardTabs(toolbar);
    browserTabsButton_ = new VelloraIconButton(QStringLiteral("globe"), {}, toolbar);
    browserTabsButton_->setFocusPolicy(Qt::NoFocus);
    settingsButton_ = new VelloraIconButton(QStringLiteral("slider.horizontal.3"), {}, toolbar);
    settingsButton_->setFocusPolicy(Qt::NoFocus);
    row->addWidget(searchField_);
    row->addWidget(browserTabsButton_);
    row->addWidget(settingsButton_);
    row->addSpacing(tabsGap);
    row->addWidget(tabs_);
    row->addStretch(1);
    retranslate();
    return toolbar;
}

void BarView::setSource(const BarSource& source)
{
    const bool known =
        source.kind == BarSource::Kind::browserShelf ||
        (source.kind == BarSource::Kind::pinboard && hasPinboard(store_.pinboards(), source.pinboardID));
    source_ = known ? source : BarSource::history();
    tabs_->setCurrent(source_);
    // The button stands out while the shelf shows: it leads back to the history.
    VelloraIconButtonStyle style = browserTabsButton_->buttonStyle();
    style.bordered = source_.kind == BarSource::Kind::browserShelf;
    browserTabsButton_->setButtonStyle(style);
    searchField_->setSearchesBrowserTabs(style.bordered);
    reload();
    selectFirst();
}

QList<ClipItem> BarView::sourceClips() const
{
    if (source_.kind == BarSource::Kind::history)
        return store_.history();
    if (source_.kind == BarSource::Kind::browserShelf)
        return {};
    for (const Pinboard& pinboard : store_.pinboards()) {
        if (pinboard.id == source_.pinboardID)
            return pinboard.clips;
    }
    return {};
}

const QList<ClipItem>& BarView::shownClips() const
{
    return strip_->clips();
}

void BarView::reload()
{
    ++generation_;
    searching_ = false;
    foundWaiting_.reset();
    strip_->setClips(store_.searchIndex().filter(sourceClips(), searchField_->text()));
    showCurrentPage();
    emptyLabel_->setText(emptyText());
    showSelection();
}

void BarView::showCurrentPage()
{
    QWidget* page = strip_;
    if (source_.kind == BarSource::Kind::browserShelf)
        page = shelf_;
    else if (shownClips().isEmpty())
        page = emptyLabel_;
    stack_->setCurrentWidget(page);
}

void BarView::searchChanged()
{
    if (resetting_)
        return;
    if (source_.kind == BarSource::Kind::browserShelf) {
        browserShelf_.setQuery(searchField_->text());
        return;
    }
    if (searchField_->isTyping() && sourceClips().size() >= typedSearchFrom) {
        searchTyped();
        return;
    }
    reload();
    selectFirst();
}

void BarView::searchTyped()
{
    const quint64 generation = ++generation_;
    newestSearch_->store(generation);
    searching_ = true;
    fieldShowsText_ = false;
    foundWaiting_.reset();
    searchThread_.start([this, generation, index = typedSearch_, newest = newestSearch_,
                         clips = sourceClips(), query = searchField_->text()] {
        // A search overtaken by a later keystroke before it started is not run.
        if (newest->load() != generation)
            return;
        QList<ClipItem> found = index->filter(clips, query);
        QMetaObject::invokeMethod(
            this, [this, generation, found = std::move(found)] { searchFound(generation, found); },
            Qt::QueuedConnection);
    });
}

void BarView::searchFound(quint64 generation, const QList<ClipItem>& found)
{
    if (generation != generation_)
        return;
    if (!fieldShowsText_ && searchField_->isVisible()) {
        foundWaiting_ = found;
        return;
    }
    showFound(found);
}

void BarView::fieldPainted()
{
    if (fieldShowsText_)
        return;
    fieldShowsText_ = true;
    if (!foundWaiting_)
        return;
    // Not while the field paints: the cards are laid out afterwards.
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_, found = *std::exchange(foundWaiting_, std::nullopt)] {
            searchFound(generation, found);
        },
        Qt::QueuedConnection);
}

void BarView::showFound(const QList<ClipItem>& found)
{
    searching_ = false;
    strip_->setClips(found);
    showCurrentPage();
    emptyLabel_->setText(emptyText());
    showSelection();
    selectFirst();
}

void BarView::finishSearch()
{
    if (!searching_)
        return;
    reload();
    selectFirst();
}

std::optional<qsizetype> BarView::selectedIndex() const
{
    return ClipSelectionPolicy::selectedIndex(shownClips(), store_.selection());
}

void BarView::select(qsizetype index)
{
    if (index < 0 || index >= shownClips().size())
        return;
    store_.setSelection({shownClips().at(index).id});
    showSelection();
}

void BarView::moveSelection(int step)
{
    if (const std::optional<qsizetype> index =
            ClipSelectionPolicy::moved(selectedIndex(), step, shownClips().size()))
        select(*index);
}

QList<ClipItem> BarView::selectedClips() const
{
    QList<ClipItem> selected;
    for (const ClipItem& clip : shownClips()) {
        if (store_.selection().contains(clip.id))
            selected.append(clip);
    }
    if (selected.isEmpty()) {
        if (const std::optional<qsizetype> index = selectedIndex())
            selected.append(shownClips().at(*index));
    }
    return selected;
}

void BarView::selectFirst()
{
    if (shownClips().isEmpty())
        return;
    select(0);
}

void BarView::reset()
{
    // Not by blocking signals: the field's clear button follows its own text-changed signal.
    resetting_ = true;
    searchField_->clearForOpening();
    resetting_ = false;
    setSource(BarSource::history());
}

void BarView::showSelection()
{
    strip_->setSelectedIndex(selectedIndex());
}

void BarView::pinboardsChanged()
{
    tabs_->setPinboards(store_.pinboards());
    if (source_.kind != BarSource::Kind::pinboard)
        return;
    if (hasPinboard(store_.pinboards(), source_.pinboardID))
        reload();
    else
        setSource(BarSource::history());
}

QString BarView::emptyText() const
{
    if (source_.kind == BarSource::Kind::browserShelf)
        return shelf_->emptyText();
    if (!shownClips().isEmpty())
        return {};
    if (!searchField_->text().trimmed().isEmpty())
        return Localization::string(QStringLiteral("No matches"));
    if (source_.kind == BarSource::Kind::pinboard)
        return Localization::string(QStringLiteral("This pinboard is empty"));
    return Localization::string(QStringLiteral("No clips yet. Copy something to see it here."));
}

void BarView::retranslate()
{
    for (auto [button, label] : {std::pair{settingsButton_, QStringLiteral("Settings")},
                                 std::pair{browserTabsButton_, QStringLiteral("Browser Tabs")}}) {
        // The application's own tooltip, which follows the bar's light or dark look.
        VelloraTooltip::attach(button, Localization::string(label));
        button->setAccessibleName(Localization::string(label));
    }
    if (emptyLabel_)
        emptyLabel_->setText(emptyText());
    if (strip_)
        strip_->clearContents();
}

void BarView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(Theme::barBackground()));
    painter.setPen(QColor(Theme::cardBorder()));
    painter.drawLine(rect().topLeft(), rect().topRight());
}
