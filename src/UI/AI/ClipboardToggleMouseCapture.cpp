#include "UI/AI/ClipboardToggleMouseCapture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

QWidget* topLevelOf(QObject* watched)
{
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return widget->window();
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        for (QWidget* topLevel : QApplication::topLevelWidgets()) {
            if (topLevel->windowHandle() == window)
                return topLevel;
        }
    }
    return nullptr;
}

} // namespace

ClipboardToggleMouseCapture::ClipboardToggleMouseCapture(QWidget* area, std::function<BarPhase()> barPhase,
                                                         Capture capture)
    : QObject(area)
    , area_(area)
    , barPhase_(std::move(barPhase))
    , capture_(std::move(capture))
{
    area->installEventFilter(this);
    setMonitoring(area->isVisible());
}

ClipboardToggleMouseCapture::~ClipboardToggleMouseCapture()
{
    setMonitoring(false);
}

void ClipboardToggleMouseCapture::setMonitoring(bool monitoring)
{
    // Removing first keeps one filter however often the area is shown.
    QCoreApplication::instance()->removeEventFilter(this);
    monitoring_ = monitoring;
    if (monitoring)
        QCoreApplication::instance()->installEventFilter(this);
}

bool ClipboardToggleMouseCapture::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_ && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        setMonitoring(event->type() == QEvent::Show);
        return false;
    }
    if (!monitoring_ || !area_)
        return false;
    // Application filters run before the bar's own, which hides it when it loses the focus.
    if (event->type() == QEvent::WindowDeactivate) {
        const BarPhase phase = barPhase_();
        if (phase.isVisible() && topLevelOf(watched) != area_->window())
            focusHideEpoch_ = phase.epoch + 1;
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        capture_(std::nullopt);
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    if (isHit(watched, event))
        capture_(wasBarVisible());
    else
        capture_(std::nullopt);
    return false;
}

bool ClipboardToggleMouseCapture::wasBarVisible() const
{
    const BarPhase phase = barPhase_();
    return phase.isVisible() || (phase.kind == BarPhaseKind::hiding && phase.epoch == focusHideEpoch_);
}

bool ClipboardToggleMouseCapture::isHit(QObject* watched, QEvent* event) const
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || topLevelOf(watched) != area_->window())
        return false;
    return area_->rect().contains(area_->mapFromGlobal(mouse->globalPosition()).toPoint());
}
