#pragma once

#include <string>
#include <vector>

// Whether a file of a program path can be replaced right now, and which
// programs keep it from being replaced.
namespace platform {

enum class WriteAccess {
  Granted,  // nobody else has the file open, and it may be written
  InUse,    // another process has it open: a running program, its DLLs, an editor
  Denied,   // the file system refuses writing: read-only, access rights
  Missing,  // there is no such file (any more)
};

// Opens the existing file for writing, shared with nobody, and closes it at
// once; nothing in the file changes. An exclusive open is what replacing a
// file takes without anyone seeing it half written, so a file that another
// process holds open in any way counts as in use.
WriteAccess probe_write_access(const std::string& path);

// The names of the programs that hold the file open, as far as the system
// can tell (the Restart Manager, loaded when first needed). Empty where it
// cannot: no Restart Manager, one that does not know (Wine's answers with
// nobody), and natively always.
std::vector<std::string> programs_holding(const std::string& path);

}  // namespace platform
