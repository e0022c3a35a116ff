#pragma once

#include <cstdint>

// For an EventCallback that answers FileExists with 2 (kHandlerRenamed): it
// names the new target itself, here, before it returns. `task` is the task
// reference the callback received. The path is the program's (GBK), at most
// 259 bytes; the file is still created new, so a name that exists too fails
// the download instead of overwriting anything. False when the task is not
// active or the path is too long.
namespace downlib {

bool SetTaskTargetPath(intptr_t task, const char* path);

}  // namespace downlib
