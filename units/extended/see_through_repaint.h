#pragma once

#include <windows.h>

// A see-through window (WS_EX_TRANSPARENT, hollow background) keeps whatever
// was drawn beneath it last, its own old text included. After its text changes
// or it moves, everything beneath it is drawn afresh, then it paints itself.
namespace extended {

// The window that `window` is drawn within: climbing the parents up to the
// first pop-up window or the first window without a parent.
HWND top_window_of(HWND window);

// Redraws what lies beneath `window` and then lets it paint over that.
void repaint_see_through(HWND window);

}  // namespace extended
