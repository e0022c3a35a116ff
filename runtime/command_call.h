#pragma once

#include <initializer_list>

#include "runtime/arg_value.h"
#include "runtime/support_library.h"

// The caller's side of a library command call: the arguments are laid out
// after their count, null texts and byte sets are replaced by the constant
// empties, and the result starts zeroed. What the result references belongs
// to the caller.
namespace rt {

ArgValue call_command(CommandFunction command, std::initializer_list<ArgValue> args);

// Command `number` of library `library` of the running program.
ArgValue call_library_command(uint32_t library, uint32_t number, std::initializer_list<ArgValue> args);

// The runtime side (service entries 2 and 3).
ArgValue invoke_command(CommandFunction command, int32_t count, ArgValue* args);

}  // namespace rt
