#pragma once

#include <string>
#include <vector>

#include "updater/tests/child_program.h"

// The updater program run as a child with a command, as a script or a
// scheduled task runs it: from a program directory of its own, its standard
// output and error read through pipes, and its top-level windows watched
// while it runs. Its program directory: fresh_program_directory
// (child_program.h).
namespace updater::testing {

struct ChildRun {
  int exit_code = -1;
  bool finished = false;         // false: killed after the time was up
  std::string out_bytes;         // standard output as written (UTF-8)
  std::vector<std::string> out;  // its lines, in GBK, without line breaks
  std::vector<std::string> error;
  bool out_is_utf8 = true;  // both streams decoded as UTF-8
  // Top-level windows of the child's process seen while it ran; those of
  // them that were visible, by their captions.
  int windows_seen = 0;
  std::vector<std::string> visible_windows;
  // From a console: every line its screen showed at some moment of the run.
  std::vector<std::string> screen_lines_seen;
};

// Runs program_directory + "updater.exe" with the arguments (GBK), from the
// working directory given (the program directory when empty).
ChildRun run_updater(const std::string& program_directory, const std::vector<std::string>& arguments,
                     const std::string& working_directory = "", int timeout_ms = 120000);

// Runs it as from a prompt, with no standard handles to inherit: the child
// must attach to this process's console (a new one, made for the run). The
// output lines are then those of the console's screen.
ChildRun run_updater_in_a_console(const std::string& program_directory, const std::vector<std::string>& arguments,
                                  int timeout_ms = 120000);

// The run for a failure message: exit code, both streams and windows.
std::string describe(const ChildRun& run);

}  // namespace updater::testing
