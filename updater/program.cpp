// The updater program: its header for the runtime, its library table, its
// declared DLL commands and its entry routine.
#include <cstdio>

#include "archive/digest_library.h"
#include "archive/zip_library.h"
#include "downlib/download_library.h"
#include "runtime/constant_area.h"
#include "runtime/core_library.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "threads/thread_library.h"
#include "units/extended/extended_library.h"
#include "web/web_library.h"

namespace updater {
namespace {

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};

const rt::SupportLibrary* const kLibraries[] = {
    &rt::kCoreLibrary,      &downlib::kDownloadLibrary, &extended::kExtendedLibrary, &archive::kDigestLibrary,
    &web::kWebLibrary,      &threads::kThreadLibrary,   &archive::kZipLibrary,
};

// Declared DLL commands, by index; the names are written as the program declares them.
const char* const kDllFiles[] = {
    "kernel32.dll", "msvcrt.dll",   "Kernel32.dll", "kernel32.dll", "kernel32.dll",
    "kernel32",     "Kernel32.dll", "kernel32.dll", "kernel32.dll", "kernel32",
    "user32.dll",   "user32.dll",   "user32.dll",   "shlwapi.dll",  "",
};
const char* const kDllFunctions[] = {
    "GetTickCount64",   "strlen",          "MultiByteToWideChar", "FindFirstFileW",   "lstrlenW",
    "SetFileAttributesW", "DeleteFileW",   "FindNextFileW",       "FindClose",        "RemoveDirectoryW",
    "PeekMessageA",     "TranslateMessage", "DispatchMessageA",   "PathIsDirectoryW", "GetSystemInfo",
};

void on_program_exit() { std::puts("updater: exit routine"); }

int32_t program_entry();

const rt::ProgramHeader kHeader = {
    3,
    0,
    116099,
    0,
    kConstants,
    sizeof kConstants,
    nullptr,
    0,
    std::size(kLibraries),
    kLibraries,
    std::size(kDllFiles),
    kDllFiles,
    kDllFunctions,
};

int32_t program_entry() {
  const rt::RuntimeServiceTable& rt = rt::services();
  rt.call_routine(rt::routine::kInitialise, 0, 0, 0, 0, 0);
  rt.call_routine(rt::routine::kRegisterExitRoutine, reinterpret_cast<intptr_t>(&on_program_exit), 0, 0, 0, 0);
  std::puts("updater: runtime started; the main window arrives with the window units");
  rt.run();
  return 0;
}

}  // namespace
}  // namespace updater

int main() { rt::run_program(updater::kHeader, updater::program_entry, rt::empty_window_layer()); }
