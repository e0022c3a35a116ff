#pragma once

#include "runtime/arg_value.h"

namespace threads {

// Command 0 of the thread library: runs a program subroutine on a new thread.
// Arguments: the subroutine (one 32-bit value in, one out), optionally the
// value it receives (0 otherwise), optionally a reference to an integer
// variable that takes the thread's handle; without it the handle is closed
// at once. Result: logical, true when the thread was created.
void StartThread(rt::ArgValue* result, int32_t count, rt::ArgValue* args);

}  // namespace threads
