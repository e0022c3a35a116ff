// A program with the test window whose scenarios end in runtime errors (or
// must not): it logs what happens and captures the error box.
// Usage: unit_errors_program <log file> <scenario>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "kErrorWindows.h"
#include "platform/testing/message_box_capture.h"
#include "runtime/constant_area.h"
#include "runtime/event_record.h"
#include "runtime/event_routine.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"
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

rt::EventAnswer nothing(const rt::EventArguments&) { return rt::no_answer(); }
rt::EventAnswer on_created(const rt::EventArguments&) {
  log_line("window created");
  return rt::no_answer();
}

}  // namespace

// The routines the test window links, by name.
rt::EventAnswer OnCreated(const rt::EventArguments& a) { return on_created(a); }
rt::EventAnswer OnMoved(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer OnSized(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer ButtonClicked(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer EditChanged(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer TimerTicked(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer PageChanging(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer PageChanged(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer CloseAsked(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer CloseConfirmed(const rt::EventArguments& a) { return nothing(a); }
rt::EventAnswer MenuChosen(const rt::EventArguments& a) { return nothing(a); }

namespace {

#define UPDATER_ROUTINE(name) &::name,
const rt::EventRoutine kRoutines[] = {
#include "kErrorWindows_routines.inc"
};
#undef UPDATER_ROUTINE

constexpr uint32_t kWindow = 0x52010001;
constexpr uint32_t kLabel = 0x1601000A;  // a unit id that the window does not have
alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::SupportLibrary* g_libraries[1];

uint32_t label_id() {
  auto* registry = static_cast<units::TemplateRegistry*>(
      reinterpret_cast<void*>(static_cast<intptr_t>(rt::system_function(rt::sysfn::kTemplateRegistry, 0, 0))));
  for (const auto& e : registry->find(kWindow)->entries)
    if (e.name == "标签1") return e.id;
  return kLabel;
}

uint32_t g_label_id = 0;

void on_exit() {
  if (g_scenario == "write-while-ending") {
    // A worker writes while the program ends: the write is dropped quietly.
    std::thread worker([] {
      rt::services().write_property(kWindow, g_label_id, 8, -1, reinterpret_cast<uintptr_t>("迟到"), 0);
    });
    worker.join();
    log_line("late write returned");
  }
  log_line("exit routine");
}

int32_t program_entry() {
  const rt::RuntimeServiceTable& services = rt::services();
  services.call_routine(rt::routine::kInitialise, 0, 0, 0, 0, 0);
  services.call_routine(rt::routine::kRegisterExitRoutine, reinterpret_cast<intptr_t>(&on_exit), 0, 0, 0, 0);
  static test_support::MessageBoxCapture capture(IDOK);
  capture.on_seen([](const test_support::SeenBox& box) {
    if (FILE* f = std::fopen((g_log_path + ".box").c_str(), "wb")) {
      std::fwrite(box.text.data(), 1, box.text.size(), f);
      std::fclose(f);
    }
    log_line("error box");
  });
  g_label_id = label_id();
  if (g_scenario == "read-before-load") {
    services.read_property(kWindow, label_id(), 8, -1);
  } else if (g_scenario == "live-control-missing") {
    rt::system_function(rt::sysfn::kLiveControlOrError, kWindow, static_cast<intptr_t>(label_id()));
  } else if (g_scenario == "write-while-ending") {
    services.load_start_window(kWindow);
    services.end_program(0);
  } else if (g_scenario == "event-of-unknown-window") {
    services.load_start_window(kWindow);
    rt::EventRecord record = {};
    record.window_id = 0x52000999;
    rt::system_function(rt::sysfn::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0);
  } else if (g_scenario == "event-of-unknown-unit") {
    services.load_start_window(kWindow);
    rt::EventRecord record = {};
    record.window_id = kWindow;
    record.unit_id = 0x16019999;
    rt::system_function(rt::sysfn::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0);
  }
  log_line("entry returned");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_log_path = argv[1];
  g_scenario = argv[2];
  g_libraries[0] = &units::core_library_with_units();
  static const rt::ProgramHeader header = {
      3, 0, 116099, reinterpret_cast<uintptr_t>(kRoutines), kConstants, sizeof kConstants,
      kErrorWindows, kErrorWindowsSize, 1, g_libraries, 0, nullptr, nullptr,
  };
  static units::WindowUnits windows;
  rt::run_program(header, program_entry, windows);
}
