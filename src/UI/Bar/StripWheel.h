#pragma once

class QWheelEvent;

namespace StripWheel {
// How far a wheel event scrolls a horizontal strip, in pixels: the larger of the two
// directions, so a plain vertical wheel scrolls sideways too.
int delta(const QWheelEvent& event);
} // namespace StripWheel
