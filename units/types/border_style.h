#pragma once

#include <windows.h>

#include <cstdint>

namespace units {

// Replaces the frame bits by those of border style 0-5 (6, the label's own
// gradient border, has no system frame) and redraws the frame.
void apply_border_style(HWND control, uint32_t border);

}  // namespace units
