#pragma once

#include <cstdint>

#include "runtime/runtime_app.h"

// Declared DLL commands of the program: resolved by file and function name
// (or "#" ordinal) on first call and cached until the end of the program.
namespace rt {

// Service entry 1: calls command `index` with `count` word-sized arguments in
// the standard calling convention. An export that cannot be found is a runtime
// error; in the 32-bit build so is a function that removes a different number
// of argument bytes than it was given (error 6).
uint64_t call_dll_command(uint32_t index, const uintptr_t* args, uint32_t count);

// The address of command `index`, resolving it on first use.
void* resolve_dll_command(uint32_t index);

void release_dll_modules(DllCommandTable& table);

}  // namespace rt
