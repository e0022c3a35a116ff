#pragma once

#include "runtime/program_header.h"
#include "runtime/runtime_app.h"

// The updater as a compiled program: its header (library table, declared DLL
// commands, window templates, routine table) and its entry routine.
namespace updater {

const rt::ProgramHeader& program_header();
int32_t program_entry();

}  // namespace updater
