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

ClipboardToggleMouseCapture::ClipboardToggleMouseCapture(QWidget* area, std::function<bool()> isBarVisible,
                                                         Capture capture)
    : QObject(area)
    , area_(area)
    , isBarVisible_(std::move(isBarVisible))
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
    if (event->type() == QEvent::KeyPress) {
        capture_(std::nullopt);
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    if (isHit(watched, event))
        capture_(isBarVisible_());
    else
        capture_(std::nullopt);
    return false;
}

bool ClipboardToggleMouseCapture::isHit(QObject* watched, QEvent* event) const
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || topLevelOf(watched) != area_->window())
        return false;
    return area_->rect().contains(area_->mapFromGlobal(mouse->globalPosition()).toPoint());
}
