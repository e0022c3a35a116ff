// 下载器 1.2: the updater program.
#include "runtime/runtime_app.h"
#include "units/window_units.h"
#include "updater/command_mode.h"
#include "updater/program_image.h"

int main() {
  updater::apply_command_line();
  static units::WindowUnits windows;
  rt::run_program(updater::program_header(), updater::program_entry, windows);
}
