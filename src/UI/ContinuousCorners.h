#pragma once

#include <QPainterPath>
#include <QRectF>

// A rounded rectangle whose corners are superellipse quarters: the curvature grows from zero
// where each corner leaves the straight edge, so the corner reads smoother than a circular
// arc of the same radius. The radius is clamped to what the rectangle can hold.
QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius);
