#pragma once

// Catches the message boxes that the current thread opens, records what they
// show and presses one of their buttons (a CBT hook: the boxes are real).
#include <windows.h>

#include <functional>
#include <set>
#include <string>

namespace test_support {

struct SeenBox {
  int count = 0;  // boxes seen so far
  std::string caption;
  std::string text;
  HICON icon = nullptr;
  HWND owner = nullptr;
  bool topmost = false;
  std::set<int> buttons;      // control ids of the visible buttons
  bool probe_enabled = true;  // the probe window's state while the box was up
};

class MessageBoxCapture {
 public:
  // `press` is the id of the button to press; `probe`, if given, is a window
  // whose enabled state is recorded while the box is shown.
  explicit MessageBoxCapture(int press, HWND probe = nullptr);
  ~MessageBoxCapture();
  MessageBoxCapture(const MessageBoxCapture&) = delete;
  MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

  const SeenBox& seen() const { return m_seen; }
  // Called with each box once it has been read, before its button is pressed.
  void on_seen(std::function<void(const SeenBox&)> callback) { m_on_seen = std::move(callback); }

 private:
  static constexpr UINT_PTR kReadTimer = 0x4B43;
  static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam);
  static void CALLBACK read_box(HWND box, UINT message, UINT_PTR timer, DWORD time);
  void capture(HWND box);

  int m_press;
  HWND m_probe;
  HHOOK m_hook;
  SeenBox m_seen;
  std::function<void(const SeenBox&)> m_on_seen;
};

// A plain top-level window of this thread, destroyed at the end of the test.
class ProbeWindow {
 public:
  ProbeWindow();
  ~ProbeWindow();
  HWND handle() const { return m_handle; }

 private:
  HWND m_handle;
};

}  // namespace test_support
