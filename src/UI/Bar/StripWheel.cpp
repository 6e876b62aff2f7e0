#include "UI/Bar/StripWheel.h"

#include <QWheelEvent>

int StripWheel::delta(const QWheelEvent& event)
{
    const QPoint pixels = event.pixelDelta();
    const QPoint angle = event.angleDelta();
    if (!pixels.isNull())
        return qAbs(pixels.x()) > qAbs(pixels.y()) ? pixels.x() : pixels.y();
    // One notch is 120 units of angle; it scrolls as many pixels.
    return qAbs(angle.x()) > qAbs(angle.y()) ? angle.x() : angle.y();
}
