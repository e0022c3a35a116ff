#include <windows.h>

#include "platform/process.h"

namespace platform {

std::string module_path() {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return std::string(buffer, n);
}

bool set_current_directory(const std::string& path) { return SetCurrentDirectoryA(path.c_str()) != 0; }

std::string current_directory() {
  char buffer[MAX_PATH] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string(buffer, n < sizeof buffer ? n : 0);
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
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
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
