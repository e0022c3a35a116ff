// A program on the runtime that calls kernel commands through the core
// library of its program header, for what needs a whole process: a runtime
// error that ends it, and the program's own directory.
// Usage: kernel_commands_program <log file> <scenario>
#include <cstdio>
#include <string>

#include "runtime/command_call.h"
#include "runtime/constant_area.h"
#include "runtime/core_library.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"

#ifdef _WIN32
#include "platform/testing/message_box_capture.h"
#endif

namespace {

std::string g_log_path;
std::string g_scenario;

void append(const std::string& path, const std::string& bytes) {
  if (FILE* f = std::fopen(path.c_str(), "ab")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

void log_line(const std::string& line) { append(g_log_path, line + "\n"); }

// The error report's box goes to "<log>.box": under Windows caught by a hook,
// natively from standard error.
void capture_error_box() {
#ifdef _WIN32
  static test_support::MessageBoxCapture capture(IDOK);
  capture.on_seen([](const test_support::SeenBox& box) {
    log_line("box caption=" + box.caption);
    append(g_log_path + ".box", box.text);
  });
#else
  std::freopen((g_log_path + ".box").c_str(), "wb", stderr);
#endif
}

constexpr uint32_t kIntDivide = 22;
constexpr uint32_t kGetProgramDirectory = 6;

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::SupportLibrary* const kLibraries[] = {&rt::kCoreLibrary};

int32_t program_entry() {
  const rt::RuntimeServiceTable& services = rt::services();
  services.call_routine(rt::routine::kInitialise, 0, 0, 0, 0, 0);
  if (g_scenario == "int-divide-by-zero") {
    capture_error_box();
    const rt::ArgValue fine =
        rt::call_library_command(0, kIntDivide, {rt::ArgValue::of_double(7), rt::ArgValue::of_double(2)});
    log_line("7 / 2 = " + std::to_string(static_cast<int>(fine.as_double())));
    rt::call_library_command(0, kIntDivide,
                             {rt::ArgValue::of_double(7), rt::ArgValue::of_double(2), rt::ArgValue::of_double(0)});
    log_line("went on after dividing by zero");
  } else if (g_scenario == "program-directory") {
    const rt::ArgValue directory = rt::call_library_command(0, kGetProgramDirectory, {});
    log_line(directory.text() ? directory.text() : "(empty)");
    services.release(directory.text());
  }
  services.run();
  return 0;
}

const rt::ProgramHeader kHeader = {
    3, 0, 116099, 0, kConstants, sizeof kConstants, nullptr, 0, std::size(kLibraries), kLibraries, 0, nullptr, nullptr,
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_log_path = argv[1];
  g_scenario = argv[2];
  rt::run_program(kHeader, program_entry, rt::empty_window_layer());
}
