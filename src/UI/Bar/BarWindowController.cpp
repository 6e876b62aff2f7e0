#include "UI/Bar/BarWindowController.h"

#include "BrowserLinks/BrowserShelfModel.h"
#include "Platform/Workspace.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Bar/BarKeyCommand.h"
#include "UI/Bar/BarSearchField.h"
#include "UI/Bar/BarView.h"
#include "UI/Bar/ClipSelectionPolicy.h"
#include "UI/Bar/ClipStripView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSet>
#include <QVariantAnimation>

namespace {

PasteFormat clickFormat(const Settings& settings)
{
    const int held = RivEVShortcut::carbonModifiers(QGuiApplication::keyboardModifiers());
    const int mask = settings.plainTextModifier();
    return mask != 0 && (held & mask) == mask ? PasteFormat::plainText : PasteFormat::asCaptured;
}

} // namespace

bool BarPhase::isVisible() const
{
    return kind == BarPhaseKind::showing || kind == BarPhaseKind::shown;
}

BarWindowController::BarWindowController(ClipboardStore& store, Settings& settings,
                                         BrowserShelfModel& browserShelf, QObject* parent)
    : QObject(parent)
    , store_(store)
    , settings_(settings)
    , browserShelf_(browserShelf)
    , view_(new BarView(store, settings, browserShelf))
{
    view_->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    view_->installEventFilter(this);
    view_->searchField()->installEventFilter(this);
    connect(view_, &BarView::clipClicked, this,
            [this](const ClipItem& clip) { emit pasteRequested({clip}, clickFormat(settings_)); });
    connect(view_, &BarView::settingsRequested, this, &BarWindowController::settingsRequested);
    connect(view_, &BarView::sourceRequested, this, &BarWindowController::sourceRequested);
    connect(view_, &BarView::browserPagesPasteRequested, this,
            &BarWindowController::browserPagesPasteRequested);
    connect(&settings_, &Settings::barHeightChanged, this, [this] {
        if (phase_.kind == BarPhaseKind::shown)
            view_->setGeometry(shownGeometry());
    });
    connect(&browserShelf_, &BrowserShelfModel::isLoadingChanged, this, &BarWindowController::pasteWhenRead);
    chooseScreenArea();
}

BarWindowController::~BarWindowController()
{
    delete view_;
}

QWidget* BarWindowController::window() const
{
    return view_;
}

void BarWindowController::chooseScreenArea()
{
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    availableArea_ = screen->availableGeometry();
    screenArea_ = screen->geometry();
}

QRect BarWindowController::shownGeometry() const
{
    const int height = qMin(qRound(settings_.barHeight()), availableArea_.height());
    return {availableArea_.left(), availableArea_.bottom() + 1 - height, availableArea_.width(), height};
}

int BarWindowController::hiddenY() const
{
    return screenArea_.bottom() + 1;
}

void BarWindowController::show()
{
    if (phase_.isVisible()) {
        takeFocus();
        return;
    }
    if (phase_.kind == BarPhaseKind::hidden) {
        chooseScreenArea();
        // WORKAROUND: without a compositing manager the X server shows every move of the
        // window before the bar is drawn again at its new place, so a sliding bar tears
        // (its top drawn twice). There it appears and leaves in place.
        slides_ = Platform::workspace().isCompositing();
        QRect start = shownGeometry();
        if (slides_)
            start.moveTop(hiddenY());
        view_->setGeometry(start);
    }
    ++phase_.epoch;
    setPhase(BarPhaseKind::showing);
    view_->show();
    takeFocus();
    slide(shownGeometry().top(), showDuration, BarPhaseKind::shown);
}

void BarWindowController::hide()
{
    pasteWhenRead_ = false;
    if (!phase_.isVisible())
        return;
    ++phase_.epoch;
    setPhase(BarPhaseKind::hiding);
    slide(hiddenY(), hideDuration, BarPhaseKind::hidden);
}

void BarWindowController::takeFocus()
{
    view_->raise();
    view_->activateWindow();
    view_->searchField()->setFocus(Qt::ActiveWindowFocusReason);
}

void BarWindowController::slide(int toY, std::chrono::milliseconds duration, BarPhaseKind after)
{
    if (animation_) {
        animation_->stop();
        animation_->deleteLater();
    }
    auto* animation = new QVariantAnimation(this);
    animation->setStartValue(view_->y());
    animation->setEndValue(slides_ ? toY : view_->y());
    animation->setDuration(int(duration.count()));
    animation->setEasingCurve(after == BarPhaseKind::shown ? QEasingCurve::OutCubic : QEasingCurve::InCubic);
    connect(animation, &QVariantAnimation::valueChanged, view_,
            [this](const QVariant& y) { view_->move(view_->x(), y.toInt()); });
    const quint64 epoch = phase_.epoch;
    connect(animation, &QVariantAnimation::finished, this,
            [this, epoch, after] { finishSlide(epoch, after); });
    animation_ = animation;
    animation->start();
}

void BarWindowController::finishSlide(quint64 epoch, BarPhaseKind after)
{
    if (epoch != phase_.epoch)
        return;
    if (after == BarPhaseKind::hidden)
        view_->hide();
    else
        view_->setGeometry(shownGeometry());
    setPhase(after);
}

void BarWindowController::setPhase(BarPhaseKind kind)
{
    const BarPhase next{kind, phase_.epoch};
    if (next == phase_)
        return;
    phase_ = next;
    emit phaseChanged();
}

void BarWindowController::resetForShow()
{
    view_->reset();
}

void BarWindowController::setKeyMonitorEnabled(bool enabled)
{
    keyMonitorEnabled_ = enabled;
}

bool BarWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate && watched == view_) {
        if (settings_.hideOnClickOutside() && phase_.isVisible())
            hide();
        return false;
    }
    if (event->type() != QEvent::KeyPress || !keyMonitorEnabled_ || !phase_.isVisible())
        return false;
    const BarKeyBindings bindings{settings_.quickPasteModifier(), settings_.plainTextModifier(),
                                  settings_.askAIShortcut()};
    return handleKey(BarKeyCommand::of(*static_cast<QKeyEvent*>(event), bindings));
}

bool BarWindowController::handleKey(const BarKeyCommand& command)
{
    if (view_->source().kind == BarSource::Kind::browserShelf)
        return handleShelfKey(command);
    // A key that acts on the cards acts on those of everything typed before it.
    if (command.kind != BarKeyCommand::Kind::none)
        view_->finishSearch();
    switch (command.kind) {
    case BarKeyCommand::Kind::none:
    case BarKeyCommand::Kind::selectAll:
    case BarKeyCommand::Kind::refresh:
    case BarKeyCommand::Kind::copy:
        return false;
    case BarKeyCommand::Kind::deleteSelected:
        return deleteSelected(command.skipUndo);
    case BarKeyCommand::Kind::undoDelete:
        return undoDelete();
    case BarKeyCommand::Kind::nextSource:
        return stepSource(1);
    case BarKeyCommand::Kind::previousSource:
        return stepSource(-1);
    case BarKeyCommand::Kind::selectPrevious:
        view_->moveSelection(-1);
        return true;
    case BarKeyCommand::Kind::selectNext:
        view_->moveSelection(1);
        return true;
    case BarKeyCommand::Kind::paste:
        if (const QList<ClipItem> selected = view_->selectedClips(); !selected.isEmpty())
            emit pasteRequested(selected, command.format);
        return true;
    case BarKeyCommand::Kind::quickPaste: {
        const std::optional<qsizetype> index = ClipSelectionPolicy::quickPasteIndex(
            command.number, view_->strip()->firstIndexInView(), view_->shownClips().size());
        if (index)
            pasteAt(*index, command.format);
        return true;
    }
    case BarKeyCommand::Kind::hide:
        hide();
        return true;
    case BarKeyCommand::Kind::askAI:
        if (const QList<ClipItem> selected = view_->selectedClips(); !selected.isEmpty())
            emit askAIRequested(selected);
        return true;
    }
    return false;
}

// The chosen history clip goes and the next one takes its place, unless Delete belongs to the
// search field: it has text selected or after its caret.
bool BarWindowController::deleteSelected(bool skipUndo)
{
    const BarSearchField& field = *view_->searchField();
    if (field.hasSelectedText() || field.cursorPosition() < field.text().size() ||
        view_->source().kind != BarSource::Kind::history)
        return false;
    const std::optional<qsizetype> index = view_->selectedIndex();
    if (!index)
        return true;
    store_.deleteItems({view_->shownClips().at(*index).id}, skipUndo);
    view_->select(std::min(*index, view_->shownClips().size() - 1));
    return true;
}

// History, then the pinboards in their order, round again at either end.
bool BarWindowController::stepSource(int step)
{
    const QList<Pinboard>& pinboards = store_.pinboards();
    if (pinboards.isEmpty())
        return false;
    QList<BarSource> sources{BarSource::history()};
    for (const Pinboard& pinboard : pinboards)
        sources.append(BarSource::pinboard(pinboard.id));
    const qsizetype at = std::max<qsizetype>(0, sources.indexOf(view_->source()));
    emit sourceRequested(sources.at((at + step + sources.size()) % sources.size()));
    return true;
}

// Puts the last deleted clips back and chooses the first of them; without a deletion to undo,
// the search field undoes its own typing.
bool BarWindowController::undoDelete()
{
    if (view_->source().kind != BarSource::Kind::history || !store_.canUndoDelete())
        return false;
    QSet<QUuid> shownBefore;
    for (const ClipItem& clip : view_->shownClips())
        shownBefore.insert(clip.id);
    store_.undoDelete();
    const QList<ClipItem> shown = view_->shownClips();
    for (qsizetype index = 0; index < shown.size(); ++index) {
        if (!shownBefore.contains(shown.at(index).id)) {
            view_->select(index);
            break;
        }
    }
    return true;
}

void BarWindowController::pasteAt(qsizetype index, PasteFormat format)
{
    view_->select(index);
    emit pasteRequested({view_->shownClips().at(index)}, format);
}

// Addresses are always plain text: the plain-text modifier changes nothing here.
bool BarWindowController::handleShelfKey(const BarKeyCommand& command)
{
    pasteWhenRead_ = false;
    switch (command.kind) {
    case BarKeyCommand::Kind::none:
    case BarKeyCommand::Kind::askAI:
    case BarKeyCommand::Kind::deleteSelected:
    case BarKeyCommand::Kind::undoDelete:
    case BarKeyCommand::Kind::nextSource:
    case BarKeyCommand::Kind::previousSource:
        return false;
    case BarKeyCommand::Kind::selectPrevious:
        moveShelfFocus(-1);
        return true;
    case BarKeyCommand::Kind::selectNext:
        moveShelfFocus(1);
        return true;
    case BarKeyCommand::Kind::paste:
        // Return typed before the browsers have answered pastes what is chosen once they have.
        if (browserShelf_.selectedPages().isEmpty() && browserShelf_.isLoading())
            pasteWhenRead_ = true;
        else
            emit browserPagesPasteRequested(browserShelf_.selectedPages());
        return true;
    case BarKeyCommand::Kind::quickPaste:
        if (const QList<BrowserPage> pages = browserShelf_.pages(); command.number <= pages.size())
            emit browserPagesPasteRequested({pages.at(command.number - 1)});
        return true;
    case BarKeyCommand::Kind::hide:
        if (browserShelf_.selectedPages().size() >= 2)
            browserShelf_.selectFirst();
        else
            hide();
        return true;
    case BarKeyCommand::Kind::selectAll:
        browserShelf_.selectAll();
        return true;
    case BarKeyCommand::Kind::refresh:
        browserShelf_.refresh();
        return true;
    case BarKeyCommand::Kind::copy:
        emit browserPagesCopyRequested(browserShelf_.selectedPages());
        return true;
    }
    return false;
}

void BarWindowController::pasteWhenRead()
{
    if (!pasteWhenRead_ || browserShelf_.isLoading())
        return;
    pasteWhenRead_ = false;
    const QList<BrowserPage> pages = browserShelf_.selectedPages();
    if (!pages.isEmpty() && phase_.isVisible())
        emit browserPagesPasteRequested(pages);
}

void BarWindowController::moveShelfFocus(int step)
{
    const QList<BrowserPage> pages = browserShelf_.pages();
    if (pages.isEmpty())
        return;
    const std::optional<QString> focused = browserShelf_.focusedID();
    const auto at = std::find_if(pages.cbegin(), pages.cend(),
                                 [&](const BrowserPage& page) { return page.id == focused; });
    const qsizetype from = at == pages.cend() ? 0 : at - pages.cbegin();
    const qsizetype to = qBound(qsizetype(0), from + step, pages.size() - 1);
    browserShelf_.select(pages.at(to).id, false);
}
