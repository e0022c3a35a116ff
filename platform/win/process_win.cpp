#include <windows.h>

#include "platform/path.h"
#include "platform/process.h"

// Paths cross to the system through the wide functions after code page 936
// conversion, as the file commands do: the program directory of an updater
// installed under a Chinese folder name is the same GBK text whatever the
// system's ANSI code page is.
namespace platform {

std::string module_path() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return gbk_from_wide(std::wstring(buffer, n < MAX_PATH ? n : 0));
}

bool set_current_directory(const std::string& path) { return SetCurrentDirectoryW(wide_path(path).c_str()) != 0; }

std::string current_directory() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryW(MAX_PATH, buffer);
  return gbk_from_wide(std::wstring(buffer, n < MAX_PATH ? n : 0));
}

uint32_t current_thread_id() { return GetCurrentThreadId(); }

void exit_process(int32_t code) { ExitProcess(static_cast<UINT>(code)); }

static std::string quote_argument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  for (char c : arg) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

int32_t run_program_and_wait(const std::vector<std::string>& argv) {
  std::string command_line;
  for (const auto& arg : argv) {
    if (!command_line.empty()) command_line += ' ';
    command_line += quote_argument(arg);
  }
  std::wstring wide_command_line = wide_path(command_line);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, wide_command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int32_t>(code);
}

}  // namespace platform

namespace platform {
void* program_instance() { return GetModuleHandleA(nullptr); }
}  // namespace platform
