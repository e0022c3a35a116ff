#include <cstdio>

#include "runtime/dll_commands.h"
#include "runtime/runtime_error.h"

// The native build has no DLLs: every declared command is missing.
namespace rt {

void* resolve_dll_command(uint32_t index) {
  RuntimeApp* app = RuntimeApp::current();
  std::string file, function = "#" + std::to_string(index);
  if (app && index < app->dll_commands().function_names.size()) {
    file = app->dll_commands().file_names[index];
    function = app->dll_commands().function_names[index];
  }
  char message[1024];
  if (file.empty())
    std::snprintf(message, sizeof message, "无法找到指定DLL库文件中的输出命令“%s”", function.c_str());
  else
    std::snprintf(message, sizeof message, "无法找到指定DLL库文件“%s”中的输出命令“%s”", file.c_str(),
                  function.c_str());
  report_runtime_error(message, 0, 0, 0);
}

uint64_t call_dll_command(uint32_t index, const uintptr_t*, uint32_t) {
  resolve_dll_command(index);
  return 0;
}

void release_dll_modules(DllCommandTable& table) { table = {}; }

}  // namespace rt
