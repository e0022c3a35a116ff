#pragma once

#include <cstdint>

#include "updater/command_line.h"

// The program run with a command: the same routines as the window, with the
// main window loaded (its units hold what the routines read and write) but
// never shown, and the results written to the standard streams.
namespace updater {

// Reads the program's command line before the runtime starts (and before
// it makes the program directory current, so that relative server roots
// and lists are taken from where the operator stands). --config-url takes
// effect at once; --help and a command line in error are answered here and
// end the process.
void apply_command_line();

// The command given; CommandKind::None opens the window.
const CommandLine& given_command();
inline bool command_given() { return given_command().kind != CommandKind::None; }

// Loads the main window without showing it and runs the given command on
// the window thread; gives the exit code.
int32_t run_given_command();

}  // namespace updater
