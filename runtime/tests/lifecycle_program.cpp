// A program on the runtime whose libraries and exit routine log what the
// runtime does with them, so a test can check the order of start and end.
// Usage: lifecycle_program <log file> <scenario>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/process.h"
#ifdef _WIN32
#include "platform/testing/message_box_capture.h"
#endif
#include "runtime/constant_area.h"
#include "runtime/dll_commands.h"
#include "runtime/library_record.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error.h"
#include "runtime/service_table.h"
#include "runtime/system_function.h"

namespace {

std::string g_log_path;
std::string g_scenario;
uint32_t g_window_thread = 0;

void log_line(const std::string& line) {
  if (FILE* f = std::fopen(g_log_path.c_str(), "ab")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fputc('\n', f);
    std::fclose(f);
  }
}

[[maybe_unused]] void write_file(const std::string& path, const std::string& bytes) {
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

template <char Name>
int32_t RT_STDCALL logging_notify(int32_t code, intptr_t value1, intptr_t) {
  log_line(std::string("notify ") + Name + " " + std::to_string(code));
  return code == rt::kNotifyStart || code == rt::kNotifyEnd ? 0 : rt::kNotifyUnhandled;
}

rt::LibraryDescription describe(const char* name, rt::NotifyEntry notify) {
  return {"00000000000000000000000000000000", name, 1, 0, 0, 1, 0, 1, 0, 0, 0, nullptr, 0, nullptr, notify};
}

const rt::SupportLibrary kLibraryA = rt::library_record(describe("A", logging_notify<'A'>));
const rt::SupportLibrary kLibraryB = rt::library_record(describe("B", nullptr));  // no notify entry
const rt::SupportLibrary kLibraryC = rt::library_record(describe("C", logging_notify<'C'>));
const rt::SupportLibrary kLibraryD = rt::library_record(describe("D", logging_notify<'D'>));
const rt::SupportLibrary* const kLibraries[] = {&kLibraryA, nullptr, &kLibraryB, &kLibraryC, &kLibraryD};

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};

const char* const kDllFiles[] = {"ordinal_probe.dll", "", "kernel32.dll", ""};
const char* const kDllFunctions[] = {"#12", "GetSystemMetrics", "NoSuchExport", "NoSuchExportAnywhere"};

void exit_routine() {
  const bool on_window_thread = platform::current_thread_id() == g_window_thread;
  log_line(std::string("exit routine on ") + (on_window_thread ? "window thread" : "other thread"));
}

#ifdef _WIN32
// Records the runtime's message box as it opens, then closes it. The capture
// lives until the process ends: the box it waits for ends the program.
void capture_message_boxes() {
  auto* capture = new test_support::MessageBoxCapture(IDOK);
  capture->on_seen([](const test_support::SeenBox& box) {
    write_file(g_log_path + ".box", box.text);
    log_line("box caption=" + box.caption + (box.icon == LoadIcon(nullptr, IDI_ERROR) ? " icon=error" : " icon=other") +
             (box.owner ? " owned" : " unowned"));
  });
}
#else
void capture_message_boxes() { std::freopen((g_log_path + ".box").c_str(), "wb", stderr); }
#endif

void pump_forever() {
  for (;;) {
    rt::system_function(rt::sysfn::kProcessMessages, 0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int32_t program_entry() {
  const rt::RuntimeServiceTable& services = rt::services();
  services.call_routine(rt::routine::kInitialise, 0, 0, 0, 0, 0);
  services.call_routine(rt::routine::kRegisterExitRoutine, reinterpret_cast<intptr_t>(&exit_routine), 0, 0, 0, 0);
  services.call_routine(rt::routine::kRegisterExitRoutine, reinterpret_cast<intptr_t>(&exit_routine), 0, 0, 0, 0);
  g_window_thread = platform::current_thread_id();
  log_line("entry");

  if (g_scenario == "error-by-code") {
    capture_message_boxes();
    services.report_error_by_code(6, 11, 22);
  } else if (g_scenario == "error-to-sink") {
    // A box, were one shown, would be logged.
    capture_message_boxes();
    rt::set_error_report_sink([](const std::string& text) {
      log_line("sink");
      write_file(g_log_path + ".box", text);
    });
    services.report_error_by_code(6, 11, 22);
  } else if (g_scenario == "error-in-window") {
    capture_message_boxes();
    rt::report_runtime_error("窗口错误", 0, 0x52010001, 0x16010002);
  } else if (g_scenario == "error-on-worker") {
    std::thread worker([] {
      capture_message_boxes();
      rt::report_runtime_error("线程错误", 0, 0, 0);
    });
    worker.detach();
    pump_forever();
  } else if (g_scenario == "missing-start-window") {
    capture_message_boxes();
    services.load_start_window(0x52010001);
  } else if (g_scenario == "end-on-worker") {
    std::thread worker([] { rt::services().end_program(7); });
    worker.detach();
    pump_forever();
  } else if (g_scenario == "dll-ordinal") {
    const uintptr_t args[] = {20};
    log_line("ordinal result " + std::to_string(services.call_dll_command(0, args, 1)));
  } else if (g_scenario == "dll-system-list") {
#ifdef _WIN32
    const uintptr_t args[] = {SM_CXSCREEN};
    const auto width = static_cast<int>(services.call_dll_command(1, args, 1));
    const bool from_user32 = rt::resolve_dll_command(1) ==
                             reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetrics"));
    log_line("system width " + std::to_string(width == GetSystemMetrics(SM_CXSCREEN) ? 1 : 0) +
             (from_user32 ? " from user32" : " from elsewhere"));
#endif
  } else if (g_scenario == "dll-missing-export") {
    capture_message_boxes();
    services.call_dll_command(2, nullptr, 0);
  } else if (g_scenario == "dll-missing-anywhere") {
    capture_message_boxes();
    services.call_dll_command(3, nullptr, 0);
  }
  services.run();
  log_line("run returned");
  return 0;
}

const rt::ProgramHeader kHeader = {
    3, 0, 116099, 0, kConstants, sizeof kConstants, nullptr, 0,
    std::size(kLibraries), kLibraries, std::size(kDllFiles), kDllFiles, kDllFunctions,
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_log_path = argv[1];
  g_scenario = argv[2];
  rt::run_program(kHeader, program_entry, rt::empty_window_layer());
}
