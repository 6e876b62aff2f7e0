#include "UI/VelloraHoverRegion.h"

#include <QEvent>
#include <QWidget>

VelloraHoverRegion::VelloraHoverRegion(QWidget* target)
    : QObject(target)
    , target_(target)
{
    target->installEventFilter(this);
    hovered_ = target->isVisible() && target->underMouse();
}

bool VelloraHoverRegion::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != target_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        setHovered(true);
        break;
    case QEvent::Leave:
    case QEvent::Hide:
        setHovered(false);
        break;
    default:
        break;
    }
    return false;
}

void VelloraHoverRegion::setHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    emit hoveredChanged(hovered);
}
