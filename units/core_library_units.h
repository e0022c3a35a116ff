#pragma once

#include "runtime/support_library.h"

namespace units {

// The core library's record with its unit types: what a program with windows
// puts first in its library table.
const rt::SupportLibrary& core_library_with_units();

}  // namespace units
