#pragma once

#include "UI/Theme.h"

class QScrollBar;

// A scroll bar drawn plainly in both appearances: a tertiary handle on a trough of the given
// colour. The style derives both from the button colour, which leaves the handle white on a
// light trough and nearly black on a dark one.
namespace ScrollBarLook {
void follow(QScrollBar* bar, const AdaptiveColor& trough);
} // namespace ScrollBarLook
