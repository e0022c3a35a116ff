#pragma once

#include <windows.h>

#include <string>

namespace units::testing {

// Saves what a top-level window shows on the screen, frame included, as a
// 24-bit BMP file, for a person to look at after the test.
bool save_window_snapshot(HWND window, const std::string& path);

// True when some pixel of the control's screen area has exactly this colour.
bool shows_colour(HWND control, COLORREF colour);

}  // namespace units::testing
