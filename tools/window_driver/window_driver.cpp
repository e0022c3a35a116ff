// Drives another program's window from a script, as an operator would: finds
// a top-level window by its caption, clicks a button inside a group box,
// waits for controls to show or to read a text, and answers message boxes.
// Runs under Wine next to the program it drives (scripts/run).
//
//   window_driver wait-window CAPTION SECONDS
//   window_driver click CAPTION GROUP BUTTON        a button lying in the group box GROUP
//   window_driver wait-visible CAPTION CLASS SECONDS
//   window_driver wait-hidden CAPTION CLASS SECONDS
//   window_driver wait-text CAPTION PART SECONDS    a visible control whose text holds PART
//   window_driver texts CAPTION                     class, visibility and text of every control
//   window_driver windows                           the same for every top-level window
//   window_driver wait-box PART SECONDS             answers (OK) and prints every other box
//                                                   until one whose text holds PART shows
//   window_driver press-box PART                    OK on the box whose text holds PART
//
// Exit code 0 when done, 1 when the time ran out or nothing matched, 2 on bad
// arguments. Texts are printed as UTF-8, one per line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// WM_GETTEXT, which (unlike GetWindowText) reads another process's controls.
std::wstring text_of(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
  return std::wstring(buffer, copied);
}

std::wstring class_of(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

struct CaptionSearch {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK match_caption(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<CaptionSearch*>(data);
  if (IsWindowVisible(window) && class_of(window) != L"#32770" && text_of(window) == *search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND top_level(const std::wstring& caption) {
  CaptionSearch search{&caption, nullptr};
  EnumWindows(match_caption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK collect(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> descendants(HWND root) {
  std::vector<HWND> all;
  EnumChildWindows(root, collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

bool contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

bool is_group_box(HWND window) {
  return class_of(window) == L"Button" && (GetWindowLongW(window, GWL_STYLE) & 0x0F) == BS_GROUPBOX;
}

// Repeats `probe` every 100 ms until it holds or the seconds have passed.
template <class Probe>
bool within(double seconds, Probe probe) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (true) {
    if (probe()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(100);
  }
}

int click(const std::wstring& caption, const std::wstring& group, const std::wstring& button) {
  const HWND window = top_level(caption);
  if (!window) return 1;
  const std::vector<HWND> controls = descendants(window);
  for (HWND box : controls) {
    if (!is_group_box(box) || text_of(box) != group) continue;
    RECT area;
    GetWindowRect(box, &area);
    for (HWND candidate : controls) {
      RECT r;
      GetWindowRect(candidate, &r);
      if (candidate != box && class_of(candidate) == L"Button" && text_of(candidate) == button && contains(area, r)) {
        // Posted: the handler may open message boxes that this program answers.
        PostMessageW(candidate, BM_CLICK, 0, 0);
        return 0;
      }
    }
  }
  std::fprintf(stderr, "window_driver: no button \"%s\" in \"%s\"\n", utf8(button).c_str(), utf8(group).c_str());
  return 1;
}

bool control_shown(const std::wstring& caption, const std::wstring& control_class, bool shown) {
  const HWND window = top_level(caption);
  if (!window) return false;
  for (HWND control : descendants(window))
    if (class_of(control) == control_class) return (IsWindowVisible(control) != 0) == shown;
  return false;
}

bool text_shown(const std::wstring& caption, const std::wstring& part) {
  const HWND window = top_level(caption);
  if (!window) return false;
  for (HWND control : descendants(window))
    if (IsWindowVisible(control) && text_of(control).find(part) != std::wstring::npos) return true;
  return false;
}

int texts(const std::wstring& caption) {
  const HWND window = top_level(caption);
  if (!window) return 1;
  for (HWND control : descendants(window))
    std::printf("%s\t%s\t%s\n", utf8(class_of(control)).c_str(), IsWindowVisible(control) ? "shown" : "hidden",
                utf8(text_of(control)).c_str());
  return 0;
}

// The longest static text of a message box: its message.
std::wstring box_message(HWND box) {
  std::wstring message;
  for (HWND control : descendants(box))
    if (_wcsicmp(class_of(control).c_str(), L"Static") == 0) {
      const std::wstring text = text_of(control);
      if (text.size() > message.size()) message = text;
    }
  return message;
}

std::vector<HWND> message_boxes() {
  std::vector<HWND> all, boxes;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all)
    if (IsWindowVisible(window) && class_of(window) == L"#32770") boxes.push_back(window);
  return boxes;
}

void press_ok(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

int wait_box(const std::wstring& part, double seconds) {
  std::vector<HWND> answered;
  const bool found = within(seconds, [&] {
    for (HWND box : message_boxes()) {
      const std::wstring message = box_message(box);
      if (message.find(part) != std::wstring::npos) {
        std::printf("%s\n", utf8(message).c_str());
        return true;
      }
      bool seen = false;
      for (HWND old : answered) seen = seen || old == box;
      if (seen) continue;
      std::printf("%s\n", utf8(message).c_str());
      std::fflush(stdout);
      answered.push_back(box);
      press_ok(box);
    }
    return false;
  });
  return found ? 0 : 1;
}

int press_box(const std::wstring& part) {
  for (HWND box : message_boxes())
    if (box_message(box).find(part) != std::wstring::npos) {
      press_ok(box);
      return 0;
    }
  return 1;
}

double seconds_of(const wchar_t* text) { return std::wcstod(text, nullptr); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"wait-window" && argc == 4)
    return within(seconds_of(argv[3]), [&] { return top_level(argv[2]) != nullptr; }) ? 0 : 1;
  if (command == L"click" && argc == 5) return click(argv[2], argv[3], argv[4]);
  if (command == L"wait-visible" && argc == 5)
    return within(seconds_of(argv[4]), [&] { return control_shown(argv[2], argv[3], true); }) ? 0 : 1;
  if (command == L"wait-hidden" && argc == 5)
    return within(seconds_of(argv[4]), [&] { return control_shown(argv[2], argv[3], false); }) ? 0 : 1;
  if (command == L"wait-text" && argc == 5)
    return within(seconds_of(argv[4]), [&] { return text_shown(argv[2], argv[3]); }) ? 0 : 1;
  if (command == L"texts" && argc == 3) return texts(argv[2]);
  if (command == L"windows" && argc == 2) {
    std::vector<HWND> all;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all)
      std::printf("%s\t%s\t%s\n", utf8(class_of(window)).c_str(), IsWindowVisible(window) ? "shown" : "hidden",
                  utf8(text_of(window)).c_str());
    return 0;
  }
  if (command == L"wait-box" && argc == 4) return wait_box(argv[2], seconds_of(argv[3]));
  if (command == L"press-box" && argc == 3) return press_box(argv[2]);
  std::fprintf(stderr, "usage: see the head of tools/window_driver/window_driver.cpp\n");
  return 2;
}
