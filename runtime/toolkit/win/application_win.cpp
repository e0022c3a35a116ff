#include <windows.h>

#include <map>

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

namespace {
// Window thread only: the tables of the windows that have one.
std::map<HWND, HACCEL>& accelerator_tables() {
  static std::map<HWND, HACCEL> tables;
  return tables;
}
}  // namespace

HACCEL set_window_accelerators(HWND window, HACCEL accelerators) {
  auto& tables = accelerator_tables();
  const auto found = tables.find(window);
  HACCEL previous = found == tables.end() ? nullptr : found->second;
  if (accelerators)
    tables[window] = accelerators;
  else if (found != tables.end())
    tables.erase(found);
  return previous;
}

bool dialog_keyboard(MSG& message) {
  // The windows' keyboard interface: Tab between tab stops, arrow keys
  // through a group of radio buttons (checking the one that gets the focus),
  // mnemonics that click their check box or radio button.
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !message.hwnd) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (!root) return false;
  const auto table = accelerator_tables().find(root);
  if (table != accelerator_tables().end() && TranslateAcceleratorA(root, table->second, &message)) return true;
  if (!(GetWindowLongA(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT)) return false;
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
