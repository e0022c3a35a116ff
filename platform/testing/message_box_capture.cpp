#include "platform/testing/message_box_capture.h"

#include <cstring>

namespace test_support {
namespace {

MessageBoxCapture* g_active = nullptr;

std::string class_of(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string text_of(HWND window) {
  char buffer[4096] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

MessageBoxCapture::MessageBoxCapture(int press, HWND probe) : m_press(press), m_probe(probe) {
  g_active = this;
  m_hook = SetWindowsHookExA(WH_CBT, hook, nullptr, GetCurrentThreadId());
}

MessageBoxCapture::~MessageBoxCapture() {
  UnhookWindowsHookEx(m_hook);
  g_active = nullptr;
}

// The box may be activated before it has laid out its text and buttons, so
// it is read from a timer that runs in its own message loop.
LRESULT CALLBACK MessageBoxCapture::hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_active) {
    HWND window = reinterpret_cast<HWND>(wparam);
    if (class_of(window) == "#32770") SetTimer(window, kReadTimer, 10, read_box);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

void CALLBACK MessageBoxCapture::read_box(HWND box, UINT, UINT_PTR timer, DWORD) {
  KillTimer(box, timer);
  if (g_active) g_active->capture(box);
}

void MessageBoxCapture::capture(HWND box) {
  ++m_seen.count;
  m_seen.caption = text_of(box);
  m_seen.owner = GetWindow(box, GW_OWNER);
  m_seen.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  m_seen.probe_enabled = m_probe ? IsWindowEnabled(m_probe) != 0 : true;
  m_seen.text.clear();
  m_seen.icon = nullptr;
  m_seen.buttons.clear();
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string name = class_of(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(name.c_str(), "Button") == 0) {
      if (style & WS_VISIBLE) m_seen.buttons.insert(GetDlgCtrlID(child));
    } else if (_stricmp(name.c_str(), "Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        m_seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
      } else {
        const std::string text = text_of(child);
        if (text.size() > m_seen.text.size()) m_seen.text = text;
      }
    }
  }
  if (m_on_seen) m_on_seen(m_seen);
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(m_press), 0);
}

ProbeWindow::ProbeWindow()
    : m_handle(CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr)) {}

ProbeWindow::~ProbeWindow() { DestroyWindow(m_handle); }

}  // namespace test_support
