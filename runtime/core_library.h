#pragma once

#include "runtime/support_library.h"

namespace rt {

// Library 0, "系统核心支持库": the runtime itself, its kernel commands and the
// core unit types.
extern const SupportLibrary kCoreLibrary;

}  // namespace rt
