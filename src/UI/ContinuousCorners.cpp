#include "UI/ContinuousCorners.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

// A corner spans this many radii along each edge, as continuous corners do.
constexpr qreal cornerSpanPerRadius = 1.5;
// The superellipse exponent: 2 is a circle, higher is squarer.
constexpr qreal superellipseExponent = 4.0;
constexpr int minimumSegments = 8;
constexpr int maximumSegments = 48;
constexpr qreal pixelsPerSegment = 1.5;

// Adds one corner from the end of one edge to the start of the next. `corner` is the
// rectangle's corner point, `towardsStart` and `towardsEnd` are unit vectors pointing from
// it along the two edges, `span` how far the curve reaches along each.
void addCorner(QPainterPath& path, QPointF corner, QPointF towardsStart, QPointF towardsEnd, qreal span)
{
    const int segments =
        std::clamp(int(std::ceil(span / pixelsPerSegment)), minimumSegments, maximumSegments);
    const qreal power = 2.0 / superellipseExponent;
    for (int i = 1; i <= segments; ++i) {
        const qreal angle = M_PI_2 * i / segments;
        // Distances from the corner along each edge on |x|^n + |y|^n = 1 around the
        // point (span, span) away from the corner.
        const qreal alongStart = span * (1.0 - std::pow(std::sin(angle), power));
        const qreal alongEnd = span * (1.0 - std::pow(std::cos(angle), power));
        path.lineTo(corner + towardsStart * alongStart + towardsEnd * alongEnd);
    }
}

} // namespace

QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius)
{
    QPainterPath path;
    const QRectF r = rect.normalized();
    if (r.isEmpty())
        return path;
    const qreal span = std::clamp(radius * cornerSpanPerRadius, 0.0, std::min(r.width(), r.height()) / 2);
    if (span <= 0) {
        path.addRect(r);
        return path;
    }
    const QPointF right(1, 0), left(-1, 0), down(0, 1), up(0, -1);
    path.moveTo(r.left() + span, r.top());
    path.lineTo(r.right() - span, r.top());
    addCorner(path, r.topRight(), left, down, span);
    path.lineTo(r.right(), r.bottom() - span);
    addCorner(path, r.bottomRight(), up, left, span);
    path.lineTo(r.left() + span, r.bottom());
    addCorner(path, r.bottomLeft(), right, up, span);
    path.lineTo(r.left(), r.top() + span);
    addCorner(path, r.topLeft(), down, right, span);
    path.closeSubpath();
    return path;
}
