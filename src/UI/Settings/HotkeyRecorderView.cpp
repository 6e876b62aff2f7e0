#include "UI/Settings/HotkeyRecorderView.h"

#include "Platform/SystemSound.h"
#include "Settings/Settings.h"
#include "UI/Bar/BarKeyCommand.h"
#include "UI/Settings/HotkeyRecorderButton.h"
#include "UI/Settings/HotkeyRecorderControlButton.h"
#include "UI/Theme.h"
#include "UI/VelloraTypography.h"
#include "Util/KeyNames.h"
#include "Util/Localization.h"
#include "Util/NotificationCenter.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

constexpr int escapeKeyCode = 53;
constexpr int tabKeyCode = 48;
constexpr int deleteKeyCode = 51;
constexpr int forwardDeleteKeyCode = 117;
constexpr int commandOptionControlMask =
    RivEVShortcut::commandMask | RivEVShortcut::optionMask | RivEVShortcut::controlMask;
const RivEVShortcut notSet{-1, 0};

const QString usedByBrowserLinks =
    QStringLiteral("This shortcut is used by Browser Links. Choose another combination.");
const QString usedByAskAI = QStringLiteral("This shortcut is used by Ask AI. Choose another combination.");
const QString unavailable = QStringLiteral("Shortcut unavailable. Choose another combination.");
const QString beepOnly;

// Two shortcuts are the same when both are set with equal modifiers and the same key,
// Return and keypad Enter counted as one key.
bool same(const RivEVShortcut& a, const RivEVShortcut& b)
{
    return a.isSet() && b.isSet() && a.matchesIgnoringEnterKind(b);
}

// Keys that only modify others: pressing one alone is not a key press of a shortcut.
bool isModifierKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

QString accessibilityLabel(HotkeyRecorderView::Target target)
{
    switch (target) {
    case HotkeyRecorderView::Target::activation:
        return QStringLiteral("Show Vellora");
    case HotkeyRecorderView::Target::askAI:
        return QStringLiteral("Ask AI Shortcut");
    case HotkeyRecorderView::Target::browserLinks:
        return QStringLiteral("Browser Links");
    }
    return {};
}

} // namespace

HotkeyRecorderView::HotkeyRecorderView(QWidget* parent)
    : HotkeyRecorderView(Settings::shared(), parent)
{}

HotkeyRecorderView::HotkeyRecorderView(Settings& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
{
    build();
    connectSettings();
    NotificationCenter::shared().observe(Notifications::languageDidChange, this,
                                         [this](QObject*) { refresh(); });
    refresh();
}

HotkeyRecorderView::~HotkeyRecorderView()
{
    endRecording();
}

void HotkeyRecorderView::build()
{
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(itemSpacing);

    recorder_ = new HotkeyRecorderButton(this);
    recorder_->setContextMenuPolicy(Qt::CustomContextMenu);
    restore_ = new HotkeyRecorderControlButton(QStringLiteral("arrow.uturn.backward"), recorder_);
    clear_ = new HotkeyRecorderControlButton(QStringLiteral("xmark"), recorder_);
    // Clicking a small button must not take focus from the recorder, or it would end the
    // recording before its action runs.
    restore_->setFocusPolicy(Qt::TabFocus);
    clear_->setFocusPolicy(Qt::TabFocus);

    auto* controls = new QHBoxLayout(recorder_);
    controls->setContentsMargins(capsuleInset, 0, capsuleInset, 0);
    controls->setSpacing(controlSpacing);
    controls->addStretch(1);
    controls->addWidget(restore_, 0, Qt::AlignVCenter);
    controls->addWidget(clear_, 0, Qt::AlignVCenter);

    messageLabel_ = new QLabel(this);
    messageLabel_->setTextFormat(Qt::PlainText);
    messageLabel_->setWordWrap(true);
    messageLabel_->setFont(VelloraTypography::caption());
    messageLabel_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    messageLabel_->hide();

    stack->addWidget(recorder_, 0, Qt::AlignRight);
    stack->addWidget(messageLabel_, 0, Qt::AlignRight);

    connect(recorder_, &QAbstractButton::clicked, this, [this] { recording_ ? stop() : start(); });
    connect(restore_, &QAbstractButton::clicked, this, &HotkeyRecorderView::restoreDefault);
    connect(clear_, &QAbstractButton::clicked, this, &HotkeyRecorderView::clear);
    connect(recorder_, &QWidget::customContextMenuRequested, this, &HotkeyRecorderView::showContextMenu);
    connect(recorder_, &HotkeyRecorderButton::hoveredChanged, this, [this](bool hovered) {
        hovering_ = hovered;
        refresh();
    });
    connect(recorder_, &HotkeyRecorderButton::focusChanged, this, &HotkeyRecorderView::onFocusChanged);
    connect(restore_, &HotkeyRecorderControlButton::focusChanged, this, &HotkeyRecorderView::onFocusChanged);
    connect(clear_, &HotkeyRecorderControlButton::focusChanged, this, &HotkeyRecorderView::onFocusChanged);
}

void HotkeyRecorderView::connectSettings()
{
    const auto rerender = [this] { refresh(); };
    connect(&settings_, &Settings::hotkeyKeyCodeChanged, this, rerender);
    connect(&settings_, &Settings::hotkeyModifiersChanged, this, rerender);
    connect(&settings_, &Settings::askAIShortcutChanged, this, rerender);
    connect(&settings_, &Settings::browserLinksShortcutChanged, this, rerender);
}

void HotkeyRecorderView::setTarget(Target target)
{
    if (target == target_)
        return;
    stop();
    target_ = target;
    refresh();
}

RivEVShortcut HotkeyRecorderView::defaultShortcut(Target target)
{
    switch (target) {
    case Target::activation:
        return {9, RivEVShortcut::commandMask | RivEVShortcut::shiftMask};
    case Target::askAI:
        return {RivEVShortcut::returnKeyCode, RivEVShortcut::commandMask};
    case Target::browserLinks:
        return {37, RivEVShortcut::commandMask | RivEVShortcut::optionMask | RivEVShortcut::controlMask};
    }
    return notSet;
}

RivEVShortcut HotkeyRecorderView::shortcut() const
{
    switch (target_) {
    case Target::activation:
        return settings_.activationShortcut();
    case Target::askAI:
        return settings_.askAIShortcut();
    case Target::browserLinks:
        return settings_.browserLinksShortcut();
    }
    return notSet;
}

RivEVShortcut HotkeyRecorderView::otherShortcut() const
{
    return target_ == Target::askAI ? settings_.activationShortcut() : settings_.askAIShortcut();
}

bool HotkeyRecorderView::defaultConflicts() const
{
    const RivEVShortcut fallback = defaultShortcut(target_);
    switch (target_) {
    case Target::activation:
        return same(settings_.askAIShortcut(), fallback) || same(settings_.browserLinksShortcut(), fallback);
    case Target::askAI:
        return same(settings_.activationShortcut(), fallback) ||
               same(settings_.browserLinksShortcut(), fallback);
    case Target::browserLinks:
        return same(settings_.askAIShortcut(), fallback) || same(settings_.activationShortcut(), fallback);
    }
    return false;
}

bool HotkeyRecorderView::controlsVisible() const
{
    return hovering_ || recording_ || focusedControl().has_value();
}

bool HotkeyRecorderView::setShortcut(const RivEVShortcut& value)
{
    switch (target_) {
    case Target::activation:
        return settings_.setActivationShortcut(value);
    case Target::askAI:
        settings_.setAskAIShortcut(value);
        return true;
    case Target::browserLinks:
        return settings_.setBrowserLinksShortcut(value);
    }
    return false;
}

void HotkeyRecorderView::start()
{
    QWidget* host = window();
    if (!isVisible() || !host)
        return;
    host->activateWindow();
    host->raise();
    recordingWindow_ = host;
    focus(Control::recorder);
    message_.reset();
    if (!recording_)
        suspendHotKeys(true);
    recording_ = true;
    if (!monitorInstalled_) {
        qApp->installEventFilter(this);
        monitorInstalled_ = true;
    }
    refresh();
}

void HotkeyRecorderView::stop()
{
    endRecording();
    refresh();
}

void HotkeyRecorderView::endRecording()
{
    if (recording_)
        suspendHotKeys(false);
    recording_ = false;
    message_.reset();
    if (monitorInstalled_) {
        qApp->removeEventFilter(this);
        monitorInstalled_ = false;
    }
    recordingWindow_.clear();
}

// Vellora's own hot keys would take the keys pressed for a candidate before the recorder sees
// them, so that a clash with them could never be reported.
void HotkeyRecorderView::suspendHotKeys(bool suspended)
{
    if (settings_.hooks().hotKeysSuspended)
        settings_.hooks().hotKeysSuspended(suspended);
}

void HotkeyRecorderView::restoreDefault()
{
    const RivEVShortcut fallback = defaultShortcut(target_);
    if (defaultConflicts())
        return;
    if (shortcut() == fallback && !recording_)
        return;
    stop();
    if (!setShortcut(fallback)) {
        message_ = unavailable;
        refresh();
    }
    focus(Control::recorder);
}

void HotkeyRecorderView::clear()
{
    stop();
    setShortcut(notSet);
    focus(Control::recorder);
}

QString HotkeyRecorderView::displayedText() const
{
    if (recording_)
        return Localization::string(QStringLiteral("Press keys…"));
    const RivEVShortcut current = shortcut();
    if (current.isSet())
        return KeyNames::describe(current.keyCode, current.modifiers);
    return Localization::string(QStringLiteral("Not Set"));
}

std::optional<HotkeyRecorderView::Control> HotkeyRecorderView::focusedControl() const
{
    if (recorder_->hasFocus())
        return Control::recorder;
    if (restore_->hasFocus())
        return Control::restore;
    if (clear_->hasFocus())
        return Control::clear;
    return std::nullopt;
}

std::unique_ptr<QMenu> HotkeyRecorderView::makeContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    if (recording_)
        return menu;
    QAction* restoreAction =
        menu->addAction(Localization::string(QStringLiteral("Restore Default Shortcut")));
    restoreAction->setEnabled(!defaultConflicts() && shortcut() != defaultShortcut(target_));
    connect(restoreAction, &QAction::triggered, this, &HotkeyRecorderView::restoreDefault);
    QAction* clearAction = menu->addAction(Localization::string(QStringLiteral("Clear Shortcut")));
    clearAction->setEnabled(shortcut().isSet());
    connect(clearAction, &QAction::triggered, this, &HotkeyRecorderView::clear);
    return menu;
}

void HotkeyRecorderView::showContextMenu(const QPoint& position)
{
    const std::unique_ptr<QMenu> menu = makeContextMenu();
    if (menu->isEmpty())
        return;
    menu->exec(recorder_->mapToGlobal(position));
}

void HotkeyRecorderView::refresh()
{
    const RivEVShortcut current = shortcut();
    const RivEVShortcut fallback = defaultShortcut(target_);
    const bool conflicts = defaultConflicts();

    recorder_->setText(displayedText());
    recorder_->setRecording(recording_);
    recorder_->setPlaceholder(!current.isSet() && !recording_);
    recorder_->setHighlighted(focusedControl().has_value());
    recorder_->setToolTip(Localization::string(QStringLiteral("Click to record a shortcut.")));
    recorder_->setAccessibleName(Localization::string(accessibilityLabel(target_)));
    recorder_->setAccessibleDescription(recorder_->text());

    const bool visible = controlsVisible();
    restore_->setConcealed(!visible);
    clear_->setConcealed(!visible);
    restore_->setEnabled(!conflicts && !(current == fallback && !recording_));
    restore_->setToolTip(
        conflicts ? Localization::string(QStringLiteral("Default shortcut is already in use."))
                  : Localization::format(QStringLiteral("Restore Default (%@)"),
                                         KeyNames::describe(fallback.keyCode, fallback.modifiers)));
    restore_->setAccessibleName(Localization::string(QStringLiteral("Restore Default Shortcut")));
    clear_->setEnabled(current.isSet() || recording_);
    clear_->setToolTip(Localization::string(QStringLiteral("Clear Shortcut")));
    clear_->setAccessibleName(clear_->toolTip());

    QPalette messagePalette = messageLabel_->palette();
    messagePalette.setColor(QPalette::WindowText, Theme::warning());
    messageLabel_->setPalette(messagePalette);
    messageLabel_->setText(message_ ? Localization::string(*message_) : QString());
    if (message_)
        fitMessage();
    messageLabel_->setVisible(message_.has_value());
}

// A wrapped label placed by alignment gets its size hint, whose height is for another width:
// it is given the width its text needs, at most messageMaximumWidth, and the height of that.
void HotkeyRecorderView::fitMessage()
{
    const QString text = messageLabel_->text();
    const int width = std::min(messageMaximumWidth, messageLabel_->fontMetrics().horizontalAdvance(text) + 1);
    messageLabel_->setFixedSize(width, messageLabel_->heightForWidth(width));
}

void HotkeyRecorderView::focus(Control control)
{
    switch (control) {
    case Control::recorder:
        recorder_->setFocus(Qt::OtherFocusReason);
        break;
    case Control::restore:
        restore_->setFocus(Qt::OtherFocusReason);
        break;
    case Control::clear:
        clear_->setFocus(Qt::OtherFocusReason);
        break;
    }
}

void HotkeyRecorderView::clearControlFocus()
{
    for (QWidget* control :
         {static_cast<QWidget*>(recorder_), static_cast<QWidget*>(restore_), static_cast<QWidget*>(clear_)}) {
        if (control->window()->focusWidget() == control)
            control->clearFocus();
    }
}

void HotkeyRecorderView::onFocusChanged()
{
    if (recording_ && focusedControl() != Control::recorder) {
        const bool windowResigned = QApplication::activeWindow() != recordingWindow_;
        stop();
        if (windowResigned)
            clearControlFocus();
        return;
    }
    refresh();
}

HotkeyRecorderView::Origin HotkeyRecorderView::originOf(QObject* receiver) const
{
    if (const auto* widget = qobject_cast<QWidget*>(receiver))
        return widget->window() == recordingWindow_ ? Origin::recordingWindow : Origin::otherWindow;
    if (const auto* platformWindow = qobject_cast<QWindow*>(receiver))
        return recordingWindow_ && recordingWindow_->windowHandle() == platformWindow
                   ? Origin::recordingWindow
                   : Origin::otherWindow;
    return Origin::none;
}

bool HotkeyRecorderView::eventFilter(QObject* watched, QEvent* event)
{
    if (!recording_ || !recordingWindow_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKeyPress(watched, static_cast<QKeyEvent*>(event));
    case QEvent::ShortcutOverride:
        // Keys of the recording window are candidates, not the window's shortcuts.
        if (originOf(watched) != Origin::recordingWindow)
            return false;
        event->accept();
        return true;
    case QEvent::WindowDeactivate:
        if (watched == recordingWindow_) {
            stop();
            clearControlFocus();
        }
        return false;
    case QEvent::Close:
        if (watched == recordingWindow_)
            stop();
        return false;
    default:
        return false;
    }
}

bool HotkeyRecorderView::handleKeyPress(QObject* receiver, QKeyEvent* event)
{
    switch (originOf(receiver)) {
    case Origin::recordingWindow:
        break;
    case Origin::otherWindow:
        return false;
    case Origin::none:
        if (QApplication::activeWindow() != recordingWindow_)
            return false;
        break;
    }
    if (isModifierKey(event->key()))
        return false;
    if (event->isAutoRepeat())
        return true;

    const std::optional<int> keyCode = BarKeyCommand::virtualKeyCode(*event);
    if (keyCode == escapeKeyCode) {
        stop();
        return true;
    }
    const int modifiers = RivEVShortcut::carbonModifiers(event->modifiers());
    if (keyCode == tabKeyCode && (modifiers & commandOptionControlMask) == 0) {
        stop();
        return false;
    }
    if ((keyCode == deleteKeyCode || keyCode == forwardDeleteKeyCode) && modifiers == 0) {
        stop();
        setShortcut(notSet);
        focus(Control::recorder);
        return true;
    }
    // A key without a stored key code can't be a shortcut.
    if (!keyCode) {
        reject(beepOnly);
        return true;
    }
    if (const std::optional<QString> rejection = decide({*keyCode, modifiers})) {
        reject(*rejection);
        return true;
    }
    stop();
    return true;
}

std::optional<QString> HotkeyRecorderView::decide(const RivEVShortcut& candidate)
{
    const RivEVShortcut activation = settings_.activationShortcut();
    switch (target_) {
    case Target::activation:
        if (same(candidate, settings_.browserLinksShortcut()))
            return usedByBrowserLinks;
        if ((candidate.modifiers & commandOptionControlMask) == 0)
            return beepOnly;
        if (same(candidate, settings_.askAIShortcut()))
            return usedByAskAI;
        if (!settings_.setActivationShortcut(candidate))
            return unavailable;
        return std::nullopt;
    case Target::askAI:
        if (same(candidate, settings_.browserLinksShortcut()))
            return usedByBrowserLinks;
        if (const std::optional<QString> invalid = candidate.validationMessage(activation))
            return invalid;
        settings_.setAskAIShortcut(candidate);
        return std::nullopt;
    case Target::browserLinks:
        if (const std::optional<QString> invalid = candidate.validationMessage(activation))
            return invalid;
        if (same(candidate, settings_.askAIShortcut()) || !settings_.setBrowserLinksShortcut(candidate))
            return unavailable;
        return std::nullopt;
    }
    return beepOnly;
}

void HotkeyRecorderView::reject(const QString& text)
{
    if (!text.isEmpty())
        message_ = text;
    Platform::systemSound().beep();
    refresh();
}

void HotkeyRecorderView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    stop();
}
