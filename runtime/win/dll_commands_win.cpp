#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/path.h"
#include "runtime/dll_commands.h"
#include "runtime/runtime_error.h"

namespace rt {
namespace {

std::mutex g_resolve_lock;

// Searched in this order for a command whose file name is empty.
constexpr const char* kSystemDlls[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                       "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

[[noreturn]] void report_missing(const std::string& file, const std::string& function) {
  char message[1024];
  if (file.empty())
    std::snprintf(message, sizeof message, "无法找到指定DLL库文件中的输出命令“%s”", function.c_str());
  else
    std::snprintf(message, sizeof message, "无法找到指定DLL库文件“%s”中的输出命令“%s”", file.c_str(), function.c_str());
  report_runtime_error(message, 0, 0, 0);
}

#ifdef _WIN64
uint64_t call_words(void* function, const uintptr_t* args, uint32_t count) {
  using W = uintptr_t;
  // Missing arguments read as 0 rather than past the caller's array.
  W a[12] = {};
  for (uint32_t i = 0; i < count && i < 12; ++i) a[i] = args[i];
  switch (count) {
    case 0: return reinterpret_cast<W (*)()>(function)();
    case 1: return reinterpret_cast<W (*)(W)>(function)(a[0]);
    case 2: return reinterpret_cast<W (*)(W, W)>(function)(a[0], a[1]);
    case 3: return reinterpret_cast<W (*)(W, W, W)>(function)(a[0], a[1], a[2]);
    case 4: return reinterpret_cast<W (*)(W, W, W, W)>(function)(a[0], a[1], a[2], a[3]);
    case 5: return reinterpret_cast<W (*)(W, W, W, W, W)>(function)(a[0], a[1], a[2], a[3], a[4]);
    case 6: return reinterpret_cast<W (*)(W, W, W, W, W, W)>(function)(a[0], a[1], a[2], a[3], a[4], a[5]);
    case 7: return reinterpret_cast<W (*)(W, W, W, W, W, W, W)>(function)(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    case 8:
      return reinterpret_cast<W (*)(W, W, W, W, W, W, W, W)>(function)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    default:
      return reinterpret_cast<W (*)(W, W, W, W, W, W, W, W, W, W, W, W)>(function)(
          a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11]);
  }
}
#else
// Pushes the arguments as a stdcall caller would and compares the stack
// pointer after the return with the one before the pushes: a function that
// takes more or fewer argument bytes than it was given leaves them unequal.
uint64_t call_words(void* function, const uintptr_t* args, uint32_t count) {
  uint32_t low, high, stack_after, stack_before;
  uint32_t remaining = count;
  asm volatile(
      "movl %%esp, %%edi\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%%esi,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n"
      "2:\n\t"
      "call *%%ebx\n\t"
      "movl %%esp, %%ecx\n\t"
      "movl %%edi, %%esp\n\t"
      : "=a"(low), "=d"(high), "+c"(remaining), "=D"(stack_before)
      : "b"(function), "S"(args)
      : "memory", "cc");
  stack_after = remaining;
  if (stack_after != stack_before) report_runtime_error_by_code(6, 0, 0);
  return (uint64_t{high} << 32) | low;
}
#endif

}  // namespace

void* resolve_dll_command(uint32_t index) {
  RuntimeApp* app = RuntimeApp::current();
  if (!app) report_runtime_error("运行时尚未初始化", 0, 0, 0);
  DllCommandTable& table = app->dll_commands();
  std::string missing_file, missing_function;
  {
    std::lock_guard lock(g_resolve_lock);
    if (index < table.addresses.size() && table.addresses[index]) return table.addresses[index];
    if (index >= table.addresses.size()) {
      missing_function = "#" + std::to_string(index);
    } else {
      const std::string& file = table.file_names[index];
      const std::string& function = table.function_names[index];
      LPCSTR procedure = function.c_str();
      if (!function.empty() && function[0] == '#')
        procedure = MAKEINTRESOURCEA(std::atoi(function.c_str() + 1) & 0xFFFF);

      HMODULE module = nullptr;
      FARPROC address = nullptr;
      if (file.empty()) {
        for (const char* name : kSystemDlls) {
          HMODULE candidate = LoadLibraryA(name);
          if (!candidate) continue;
          address = GetProcAddress(candidate, procedure);
          if (address) {
            module = candidate;
            break;
          }
          FreeLibrary(candidate);
        }
      } else {
        // The program's own directory comes first, unless the name is a full path.
        if (file.find(':') == std::string::npos)
          module = LoadLibraryW(platform::wide_path(app->directory() + "\\" + file).c_str());
        if (!module) module = LoadLibraryA(file.c_str());
        if (module) address = GetProcAddress(module, procedure);
      }
      if (address) {
        table.modules[index] = module;
        table.addresses[index] = reinterpret_cast<void*>(address);
        return table.addresses[index];
      }
      if (module) FreeLibrary(module);
      missing_file = file;
      missing_function = function;
    }
  }
  // Reported outside the lock: the end of the program may still call commands.
  report_missing(missing_file, missing_function);
}

uint64_t call_dll_command(uint32_t index, const uintptr_t* args, uint32_t count) {
  return call_words(resolve_dll_command(index), args, count);
}

void release_dll_modules(DllCommandTable& table) {
  for (void* module : table.modules)
    if (module) FreeLibrary(static_cast<HMODULE>(module));
  table = {};
}

}  // namespace rt
