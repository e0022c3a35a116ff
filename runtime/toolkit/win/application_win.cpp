#include <windows.h>

#include "runtime/toolkit/application.h"

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
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return true;
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
