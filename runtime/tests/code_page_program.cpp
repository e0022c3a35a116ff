// Reports where the runtime finds itself: started by the code page test from
// a folder with a Chinese name, it writes the program directory and the
// current directory, as the runtime holds them, one per line to <log>.
// Usage: code_page_program <log file>
#include <cstdio>
#include <string>

#include "platform/process.h"
#include "runtime/constant_area.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/system_function.h"
#include "runtime/window_layer.h"

namespace {

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::ProgramHeader kHeader = {3, 0,       1, 0,       kConstants, sizeof kConstants, nullptr, 0,
                                   0, nullptr, 0, nullptr, nullptr};

int32_t no_entry() { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  static rt::RuntimeApp app(kHeader, no_entry, rt::empty_window_layer());
  app.initialise();
  const auto* directory = reinterpret_cast<const char*>(rt::system_function(rt::sysfn::kProgramDirectory, 0, 0));
  const std::string report = std::string(directory ? directory : "") + "\n" + platform::current_directory() + "\n";
  FILE* log = std::fopen(argv[1], "wb");
  if (!log) return 3;
  std::fwrite(report.data(), 1, report.size(), log);
  std::fclose(log);
  return 0;
}
