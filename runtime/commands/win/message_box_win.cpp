#include <windows.h>

#include "runtime/commands/message_box.h"

namespace rt::commands {

// The ANSI function: like every window text of the program, the message is
// shown in the system's code page.
int32_t show_message_box(void* parent, const std::string& text, const std::string& caption, uint32_t style) {
  return MessageBoxA(static_cast<HWND>(parent), text.c_str(), caption.c_str(), style);
}

}  // namespace rt::commands
