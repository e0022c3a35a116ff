#include "updater/program_image.h"

#include <float.h>

#include <cstring>

#include "archive/digest_library.h"
#include "archive/zip_library.h"
#include "downlib/download_library.h"
#include "kMainWindowTemplate.h"
#include "runtime/constant_area.h"
#include "runtime/service_table.h"
#include "threads/thread_library.h"
#include "units/core_library_units.h"
#include "units/extended/extended_library.h"
#include "updater/command_mode.h"
#include "updater/main_window.h"
#include "updater/main_window_units.h"
#include "updater/updater_state.h"
#include "web/web_library.h"

namespace updater {
namespace {

#define UPDATER_ROUTINE(name) &name,
const rt::EventRoutine kRoutines[] = {
#include "kMainWindowTemplate_routines.inc"
};
#undef UPDATER_ROUTINE

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};

// Declared DLL commands, by index; the names as the program declares them.
const char* const kDllFiles[] = {
    "kernel32.dll", "msvcrt.dll",   "Kernel32.dll", "kernel32.dll", "kernel32.dll",
    "kernel32",     "Kernel32.dll", "kernel32.dll", "kernel32.dll", "kernel32",
    "user32.dll",   "user32.dll",   "user32.dll",   "shlwapi.dll",  "",
};
const char* const kDllFunctions[] = {
    "GetTickCount64",     "strlen",           "MultiByteToWideChar", "FindFirstFileW",   "lstrlenW",
    "SetFileAttributesW", "DeleteFileW",      "FindNextFileW",       "FindClose",        "RemoveDirectoryW",
    "PeekMessageA",       "TranslateMessage", "DispatchMessageA",    "PathIsDirectoryW", "GetSystemInfo",
};

const rt::SupportLibrary* g_libraries[7];

}  // namespace

const rt::ProgramHeader& program_header() {
  static const rt::ProgramHeader header = [] {
    const rt::SupportLibrary* libraries[7] = {&units::core_library_with_units(),
                                              &downlib::kDownloadLibrary,
                                              &extended::kExtendedLibrary,
                                              &archive::kDigestLibrary,
                                              &web::kWebLibrary,
                                              &threads::kThreadLibrary,
                                              &archive::zip_library()};
    std::memcpy(g_libraries, libraries, sizeof libraries);
    return rt::ProgramHeader{
        3,
        0,
        116099,
        reinterpret_cast<uintptr_t>(kRoutines),
        kConstants,
        sizeof kConstants,
        kMainWindowTemplate,
        kMainWindowTemplateSize,
        7,
        g_libraries,
        static_cast<uint32_t>(std::size(kDllFiles)),
        kDllFiles,
        kDllFunctions,
    };
  }();
  return header;
}

int32_t program_entry() {
  const rt::RuntimeServiceTable& services = rt::services();
  services.call_routine(rt::routine::kInitialise, 0, 0, 0, 0, 0);
  _fpreset();
  state();  // the updater's state, with its initial values
  services.call_routine(rt::routine::kRegisterExitRoutine, reinterpret_cast<intptr_t>(&OnProgramExit), 0, 0, 0, 0);
  // A command runs without the window and ends the program with its exit
  // code, through the same end as a closed window: the exit routine runs.
  if (command_given()) services.end_program(run_given_command());
  services.load_start_window(window::kMainWindow);
  services.run();
  return 0;
}

}  // namespace updater
