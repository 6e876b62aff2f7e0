#include "UI/Settings/SettingsPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace {

constexpr Qt::KeyboardModifiers steppingModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// +1 for Ctrl+Tab, -1 for Ctrl+Shift+Tab, 0 for any other key.
int paneStep(const QKeyEvent& event)
{
    if (event.key() != Qt::Key_Tab && event.key() != Qt::Key_Backtab)
        return 0;
    const Qt::KeyboardModifiers modifiers = event.modifiers() & steppingModifiers;
    if (modifiers == Qt::ControlModifier)
        return 1;
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        return -1;
    return 0;
}

} // namespace

SettingsPanel::SettingsPanel(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    // Key presses reach the focused widget first; the panel looks at them before it does.
    qApp->installEventFilter(this);
}

SettingsPanel::~SettingsPanel()
{
    qApp->removeEventFilter(this);
}

void SettingsPanel::setOnMovePane(MovePaneHandler handler)
{
    onMovePane_ = std::move(handler);
}

bool SettingsPanel::isComposing() const
{
    QWidget* focus = focusWidget();
    return composingWidget_ && composingWidget_ == focus && focus->testAttribute(Qt::WA_InputMethodEnabled);
}

bool SettingsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::InputMethod && ownsReceiver(watched))
        trackComposition(watched, *static_cast<QInputMethodEvent*>(event));
    else if (event->type() == QEvent::KeyPress && ownsReceiver(watched))
        return handlePaneStep(*static_cast<QKeyEvent*>(event));
    return false;
}

void SettingsPanel::keyPressEvent(QKeyEvent* event)
{
    const bool escape =
        event->key() == Qt::Key_Escape && (event->modifiers() & steppingModifiers) == Qt::NoModifier;
    if (!escape || isComposing()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    close();
}

void SettingsPanel::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit willClose();
}

bool SettingsPanel::ownsReceiver(QObject* receiver) const
{
    return receiver->isWidgetType() && static_cast<QWidget*>(receiver)->window() == this;
}

bool SettingsPanel::handlePaneStep(const QKeyEvent& event)
{
    const int step = paneStep(event);
    if (step == 0 || isComposing() || !onMovePane_)
        return false;
    onMovePane_(step);
    return true;
}

void SettingsPanel::trackComposition(QObject* receiver, const QInputMethodEvent& event)
{
    if (event.preeditString().isEmpty()) {
        if (composingWidget_ == receiver)
            composingWidget_.clear();
        return;
    }
    composingWidget_ = static_cast<QWidget*>(receiver);
}
