#include <objbase.h>
#include <ole2.h>
#include <windows.h>
#include <winsock2.h>

#include "runtime/runtime_app.h"
#include "runtime/runtime_app_platform.h"
#include "runtime/toolkit/dialog_keyboard.h"

namespace rt {
namespace {

// Sent to the hidden owner window by a worker thread that ends the program.
constexpr UINT kEndProgramMessage = 0x83E7;
constexpr char kHiddenOwnerClass[] = "_QW_HideOwner";

LRESULT CALLBACK hidden_owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kEndProgramMessage) {
    if (RuntimeApp* app = RuntimeApp::current()) app->end_program(static_cast<int32_t>(wparam));
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

namespace detail {

void* process_heap() { return GetProcessHeap(); }

bool is_live_window(void* window) { return window && IsWindow(static_cast<HWND>(window)); }

bool hand_end_to_window_thread(void* hidden_owner, int32_t code, bool (*ending)()) {
  SendMessageA(static_cast<HWND>(hidden_owner), kEndProgramMessage, static_cast<WPARAM>(code), 0);
  if (!ending()) ExitProcess(static_cast<UINT>(code));
  return true;
}

void post_quit() { PostQuitMessage(0); }

}  // namespace detail

void RuntimeApp::platform_initialise_ole() {
  if (!m_ole_initialised) m_ole_initialised = SUCCEEDED(OleInitialize(nullptr));
}

void RuntimeApp::platform_create_hidden_owner() {
  WNDCLASSA window_class = {};
  if (!GetClassInfoA(static_cast<HINSTANCE>(instance()), kHiddenOwnerClass, &window_class)) {
    window_class.lpfnWndProc = hidden_owner_procedure;
    window_class.hInstance = static_cast<HINSTANCE>(instance());
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    window_class.lpszClassName = kHiddenOwnerClass;
    RegisterClassA(&window_class);
  }
  m_hidden_owner = CreateWindowExA(0, kHiddenOwnerClass, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   static_cast<HINSTANCE>(instance()), nullptr);
}

void* RuntimeApp::default_icon() {
  if (!m_default_icon) m_default_icon = LoadIconA(static_cast<HINSTANCE>(instance()), "DEFAULT_ICON");
  return m_default_icon;
}

void RuntimeApp::platform_release() {
  if (m_default_icon) DestroyIcon(static_cast<HICON>(m_default_icon));
  m_default_icon = nullptr;
  if (m_hidden_owner) DestroyWindow(static_cast<HWND>(m_hidden_owner));
  m_hidden_owner = nullptr;
  if (m_winsock_started) WSACleanup();
  m_winsock_started = false;
  if (m_ole_initialised) OleUninitialize();
  m_ole_initialised = false;
}

void RuntimeApp::run_message_loop(LoopMode mode) {
  bool idle = true;
  long idle_count = 0;
  MSG message;
  for (;;) {
    while (idle && !PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      run_idle_callbacks();
      if (!idle_step(idle_count++)) idle = false;
      if (mode == LoopMode::Modal && !m_modal_window) return;
    }
    do {
      if (mode == LoopMode::Modal && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) &&
          message.message == WM_QUIT)
        return;  // leave the quit message for the outer loop
      if (!pump_message()) return;
      if (mode == LoopMode::Modal && !m_modal_window) return;
      if (last_message_resets_idle()) {
        idle = true;
        idle_count = 0;
      }
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void RuntimeApp::process_pending_messages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) break;
    if (toolkit::dialog_keyboard(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace rt
