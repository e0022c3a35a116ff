// A program with the ZIP test window whose scenarios end in the runtime
// error of UnpackArchive given a unit that does not exist.
// Usage: zip_errors_program <log file> <scenario>
#include <windows.h>

#include <cstdio>
#include <string>

#include "archive/zip_library.h"
#include "kZipErrorWindows.h"
#include "platform/testing/message_box_capture.h"
#include "runtime/command_call.h"
#include "runtime/constant_area.h"
#include "runtime/event_routine.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "units/core_library_units.h"
#include "units/window_units.h"

namespace {

std::string g_log_path;
std::string g_scenario;

void log_line(const std::string& line) {
  if (FILE* f = std::fopen(g_log_path.c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
    std::fclose(f);
  }
}

}  // namespace

rt::EventAnswer ProgressReported(const rt::EventArguments&) {
  log_line("progress");
  return rt::no_answer();
}

namespace {

#define UPDATER_ROUTINE(name) &::name,
const rt::EventRoutine kRoutines[] = {
#include "kZipErrorWindows_routines.inc"
};
#undef UPDATER_ROUTINE

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kMissingUnit = 0x16019999;
alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::SupportLibrary* g_libraries[7];

int32_t program_entry() {
  const rt::RuntimeServiceTable& services = rt::services();
  services.call_routine(rt::routine::kInitialise, 0, 0, 0, 0, 0);
  static test_support::MessageBoxCapture capture(IDOK);
  capture.on_seen([](const test_support::SeenBox& box) {
    if (FILE* f = std::fopen((g_log_path + ".box").c_str(), "wb")) {
      std::fwrite(box.text.data(), 1, box.text.size(), f);
      std::fclose(f);
    }
    log_line("error box");
  });
  if (g_scenario == "unknown-unit") services.load_start_window(kWindow);
  // Neither the archive nor the target matters: the unit is looked up first.
  const rt::ArgValue result =
      rt::call_library_command(6, 0,
                               {rt::ArgValue::of_unit(kWindow, kMissingUnit, rt::tag::unit(6, 0)),
                                rt::ArgValue::of_text("无.zip"), rt::ArgValue::of_text("out")});
  log_line("unpacked: " + std::to_string(result.as_int()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_log_path = argv[1];
  g_scenario = argv[2];
  g_libraries[0] = &units::core_library_with_units();
  g_libraries[6] = &archive::zip_library();
  static const rt::ProgramHeader header = {
      3,
      0,
      116099,
      reinterpret_cast<uintptr_t>(kRoutines),
      kConstants,
      sizeof kConstants,
      kZipErrorWindows,
      kZipErrorWindowsSize,
      7,
      g_libraries,
      0,
      nullptr,
      nullptr,
  };
  static units::WindowUnits windows;
  rt::run_program(header, program_entry, windows);
}
