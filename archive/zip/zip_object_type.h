#pragma once

#include "runtime/unit_type.h"

namespace archive {

// "ZIP压缩" (ZIP): a unit without a visible control that the unpack command
// raises its progress event on. Null natively, where there are no units.
const rt::UnitType* zip_object_type();

}  // namespace archive
