#pragma once

#include <cstdint>

#include "runtime/support_library.h"

namespace rt {

// The core library's command table: the kernel commands by number.
inline constexpr int32_t kKernelCommandCount = 28;
extern const CommandFunction kKernelCommands[kKernelCommandCount];

}  // namespace rt
