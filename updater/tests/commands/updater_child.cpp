#include "updater/tests/commands/updater_child.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "platform/path.h"
#include "platform/testing/display_text.h"
#include "updater/tests/child_program.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

std::string read_to_end(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

std::optional<std::string> gbk_from_utf8(const std::string& bytes) {
  if (bytes.empty()) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return platform::gbk_from_wide(wide);
}

// Lines ended by LF, a CR before it dropped; a last line without its break
// counts as well.
std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

struct Pipe {
  HANDLE read = nullptr, write = nullptr;
  Pipe() {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    CreatePipe(&read, &write, &inherited, 0);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  }
  ~Pipe() {
    if (read) CloseHandle(read);
    if (write) CloseHandle(write);
  }
  void close_write() {
    CloseHandle(write);
    write = nullptr;
  }
};

}  // namespace

namespace {

// Waits for the child's end, looking at its windows every few milliseconds
// (a window shown even briefly is seen) and at whatever else `look` looks
// at; kills it when the time is up.
void watch_until_the_end(ChildProgram& child, int timeout_ms, ChildRun& run,
                         const std::function<void()>& look = nullptr) {
  std::set<HWND> seen, shown;
  const DWORD start = GetTickCount();
  run.finished = true;
  std::optional<DWORD> code;
  while (!(code = child.wait_for_exit(5))) {
    for (HWND window : child.top_level_windows()) {
      seen.insert(window);
      if (!IsWindowVisible(window) || !shown.insert(window).second) continue;
      wchar_t caption[256] = {};
      GetWindowTextW(window, caption, 256);
      run.visible_windows.push_back(platform::gbk_from_wide(caption));
    }
    if (look) look();
    if (static_cast<int>(GetTickCount() - start) > timeout_ms) {
      child.kill(999);
      run.finished = false;
      code = child.wait_for_exit(0);
      break;
    }
  }
  run.exit_code = static_cast<int>(code.value_or(999));
  run.windows_seen = static_cast<int>(seen.size());
}

// The lines of the console's screen up to the cursor (and the cursor's own
// line when `cursor_line` says so), blanks at their ends dropped.
enum class CursorLine { Leave, Include };
std::vector<std::string> console_screen_lines(CursorLine cursor_line = CursorLine::Leave) {
  std::vector<std::string> lines;
  const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  CONSOLE_SCREEN_BUFFER_INFO info = {};
  if (screen == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(screen, &info)) return lines;
  std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
  const SHORT last = cursor_line == CursorLine::Include ? info.dwCursorPosition.Y : info.dwCursorPosition.Y - 1;
  for (SHORT y = 0; y <= last; ++y) {
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read);
    std::wstring line = row.substr(0, read);
    while (!line.empty() && line.back() == L' ') line.pop_back();
    lines.push_back(platform::gbk_from_wide(line));
  }
  CloseHandle(screen);
  return lines;
}

}  // namespace

ChildRun run_updater(const std::string& program_directory, const std::vector<std::string>& arguments,
                     const std::string& working_directory, int timeout_ms) {
  Pipe out, error;
  ChildStart start;
  start.working_directory = working_directory;
  start.use_standard_handles = true;
  start.output = out.write;
  start.error = error.write;
  start.inherit_handles = true;
  ChildProgram child(program_directory, arguments, start);
  ChildRun run;
  if (!child.started()) return run;
  out.close_write();
  error.close_write();
  std::string out_bytes, error_bytes;
  std::thread out_reader([&] { out_bytes = read_to_end(out.read); });
  std::thread error_reader([&] { error_bytes = read_to_end(error.read); });
  watch_until_the_end(child, timeout_ms, run);
  out_reader.join();
  error_reader.join();

  run.out_bytes = out_bytes;
  const std::optional<std::string> out_text = gbk_from_utf8(out_bytes), error_text = gbk_from_utf8(error_bytes);
  run.out_is_utf8 = out_text && error_text;
  run.out = lines_of(out_text.value_or(out_bytes));
  run.error = lines_of(error_text.value_or(error_bytes));
  return run;
}

ChildRun run_updater_in_a_console(const std::string& program_directory, const std::vector<std::string>& arguments,
                                  int timeout_ms) {
  ChildRun run;
  // The console replaces this process's standard handles; gtest's output
  // keeps going where it went.
  const DWORD kinds[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE saved[3];
  for (int i = 0; i < 3; ++i) saved[i] = GetStdHandle(kinds[i]);
  FreeConsole();
  if (AllocConsole()) {
    ChildStart start;
    start.use_standard_handles = true;  // all three null: nothing to inherit
    ChildProgram child(program_directory, arguments, start);
    if (child.started()) {
      std::set<std::string> seen;
      watch_until_the_end(child, timeout_ms, run, [&seen] {
        for (std::string& line : console_screen_lines(CursorLine::Include)) seen.insert(std::move(line));
      });
      run.out = console_screen_lines();
      run.screen_lines_seen.assign(seen.begin(), seen.end());
    }
    FreeConsole();
  }
  for (int i = 0; i < 3; ++i) SetStdHandle(kinds[i], saved[i]);
  return run;
}

std::string describe(const ChildRun& run) {
  std::string text = "exit code " + std::to_string(run.exit_code) + (run.finished ? "" : " (killed)") + "\n";
  for (const std::string& line : run.out) text += "  out: " + test_support::display_text(line) + "\n";
  for (const std::string& line : run.error) text += "  err: " + test_support::display_text(line) + "\n";
  text += "  windows seen: " + std::to_string(run.windows_seen);
  for (const std::string& caption : run.visible_windows)
    text += "\n  visible window: " + test_support::display_text(caption);
  return text;
}

}  // namespace updater::testing
