#pragma once

namespace Platform {

// Whether the desktop composes windows, so that a window's transparent pixels show what lies
// below it. Without a compositing manager X shows them black: a window with soft, see-through
// edges must then cut its shape instead. Asks the display each time (one round trip), so a
// compositor started or stopped since is followed. True where there is no X display (the
// offscreen platform keeps its alpha; Wayland always composes).
bool composesTranslucentWindows();

} // namespace Platform
