#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

// The application's mark: a clipboard tile with a bold V, kept as one SVG in the resource
// bundle ("icons/vellora.svg") and drawn from it at any size.
namespace VelloraBrand {
QString markResourcePath();
// Paints the mark centred in `rect`, as large as the rectangle's shorter side.
void paintMark(QPainter& painter, const QRectF& rect);
// The mark `size` device-independent pixels square.
QPixmap markPixmap(int size, qreal devicePixelRatio = 1.0);
// The mark at the usual icon sizes, each drawn when first asked for, for the status item and
// the application icon.
QIcon markIcon();
} // namespace VelloraBrand
