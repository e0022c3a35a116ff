#pragma once

#include <windows.h>

namespace toolkit {

// Hands a keyboard message to the keyboard interface of its top-level window
// (Tab between tab stops, arrows through radio groups, mnemonics); true when
// that consumed it. Only windows marked WS_EX_CONTROLPARENT take part.
bool dialog_keyboard(MSG& message);

// The accelerator table of a top-level window (null removes it); the keyboard
// interface translates its keys to WM_COMMAND first. Returns the table it
// replaces, for the caller to destroy.
HACCEL set_window_accelerators(HWND window, HACCEL accelerators);

}  // namespace toolkit
