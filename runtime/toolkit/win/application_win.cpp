#include <windows.h>

#include "runtime/toolkit/application.h"
#include "runtime/toolkit/dialog_keyboard.h"

namespace toolkit {

int Application::run_application(void* instance) {
  m_instance = instance;
  if (!start_step()) return exit_step();
  while (pump_message()) {
  }
  return exit_step();
}

bool Application::pump_message() {
  MSG message;
  if (!GetMessageA(&message, nullptr, 0, 0)) return false;
  m_last_message = message.message;
  m_previous_point = m_last_point;
  m_last_point = static_cast<long>(message.pt.x) * 65536 + message.pt.y;
  if (!dialog_keyboard(message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

bool dialog_keyboard(MSG& message) {
  // The windows' keyboard interface: Tab between tab stops, arrow keys
  // through a group of radio buttons (checking the one that gets the focus),
  // mnemonics that click their check box or radio button.
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (!root || !(GetWindowLongA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) return false;
  return IsDialogMessageA(root, &message) != FALSE;
}

bool Application::last_message_resets_idle() const {
  constexpr unsigned kCaretBlink = 0x0118;
  switch (m_last_message) {
    case WM_PAINT:
    case kCaretBlink:
      return false;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
      return m_last_point != m_previous_point;
    default:
      return true;
  }
}

}  // namespace toolkit
