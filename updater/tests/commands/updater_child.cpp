#include "updater/tests/commands/updater_child.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "platform/path.h"
#include "platform/testing/display_text.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

// The program the build made, as Wine shows its Unix path (drive Z:).
std::string built_updater() {
  std::string path = "Z:" UPDATER_PROGRAM;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// One argument as CommandLineToArgvW reads it back: quoted when it holds a
// blank or a quote, backslashes doubled only before a quote.
std::wstring quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring text = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    text += c;
  }
  text.append(backslashes * 2, L'\\');
  return text + L"\"";
}

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

struct WindowWatch {
  DWORD process = 0;
  int seen = 0;
  std::vector<std::string> visible;
};

BOOL CALLBACK look_at(HWND window, LPARAM watch_address) {
  auto* watch = reinterpret_cast<WindowWatch*>(watch_address);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != watch->process) return TRUE;
  ++watch->seen;
  if (IsWindowVisible(window)) {
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    watch->visible.push_back(platform::gbk_from_wide(caption));
  }
  return TRUE;
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

std::string fresh_program_directory(const std::string& name) {
  const std::string directory = program_directory() + "命令行\\" + name + "\\";
  remove_tree(directory);
  make_directories(directory);
  CopyFileW(platform::wide_path(built_updater()).c_str(), platform::wide_path(directory + "updater.exe").c_str(),
            FALSE);
  return directory;
}

namespace {

std::wstring command_line_of(const std::string& program_directory, const std::vector<std::string>& arguments) {
  std::wstring command = quoted(platform::wide_path(program_directory + "updater.exe"));
  for (const std::string& argument : arguments) command += L" " + quoted(platform::wide_path(argument));
  return command;
}

// Waits for the child's end, looking at its windows every few milliseconds
// (a window shown even briefly is seen) and at whatever else `look` looks
// at; kills it when the time is up.
void watch_until_the_end(const PROCESS_INFORMATION& process, int timeout_ms, ChildRun& run,
                         const std::function<void()>& look = nullptr) {
  WindowWatch watch;
  watch.process = process.dwProcessId;
  const DWORD start = GetTickCount();
  run.finished = true;
  while (WaitForSingleObject(process.hProcess, 5) == WAIT_TIMEOUT) {
    EnumWindows(look_at, reinterpret_cast<LPARAM>(&watch));
    if (look) look();
    if (static_cast<int>(GetTickCount() - start) > timeout_ms) {
      TerminateProcess(process.hProcess, 999);
      WaitForSingleObject(process.hProcess, INFINITE);
      run.finished = false;
      break;
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  run.exit_code = static_cast<int>(code);
  run.windows_seen = watch.seen;
  run.visible_windows = watch.visible;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
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
  std::wstring command = command_line_of(program_directory, arguments);
  const std::wstring directory = platform::wide_path(working_directory.empty() ? program_directory : working_directory);
  Pipe out, error;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.write;
  startup.hStdError = error.write;
  PROCESS_INFORMATION process = {};
  ChildRun run;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(), &startup,
                      &process))
    return run;
  out.close_write();
  error.close_write();
  std::string out_bytes, error_bytes;
  std::thread out_reader([&] { out_bytes = read_to_end(out.read); });
  std::thread error_reader([&] { error_bytes = read_to_end(error.read); });
  watch_until_the_end(process, timeout_ms, run);
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
    std::wstring command = command_line_of(program_directory, arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // all three null: nothing to inherit
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       platform::wide_path(program_directory).c_str(), &startup, &process)) {
      std::set<std::string> seen;
      watch_until_the_end(process, timeout_ms, run, [&seen] {
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
