#pragma once

#include <vector>

#include "runtime/arg_value.h"
#include "runtime/support_library.h"
#include "runtime/unit_type.h"

namespace rt {

// The unit type named by a library-type reference, or null when the reference
// is not a library type, is out of range, or names an empty slot.
const UnitType* find_unit_type(const std::vector<const SupportLibrary*>& libraries, TypeTag type);

}  // namespace rt
