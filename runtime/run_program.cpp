#include "platform/process.h"
#include "runtime/runtime_app.h"

namespace rt {

void run_program(const ProgramHeader& header, ProgramEntry entry, WindowLayer& windows) {
  static RuntimeApp* app = nullptr;
  app = new RuntimeApp(header, entry, windows);  // lives until ExitProcess
  app->run_application(platform::program_instance());
  platform::exit_process(0);
}

}  // namespace rt
