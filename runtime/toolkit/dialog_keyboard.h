#pragma once

#include <windows.h>

namespace toolkit {

// Hands a keyboard message to the keyboard interface of its top-level window
// (Tab between tab stops, arrows through radio groups, mnemonics); true when
// that consumed it. Only windows marked WS_EX_CONTROLPARENT take part.
bool dialog_keyboard(MSG& message);

}  // namespace toolkit
