#include "units/core_library_units.h"

#include "runtime/core_library.h"
#include "units/types/core_types.h"

namespace units {

const rt::SupportLibrary& core_library_with_units() {
  static const rt::SupportLibrary record = [] {
    rt::SupportLibrary core = rt::kCoreLibrary;
    core.unit_type_count = kCoreUnitTypeCount;
    core.unit_types = core_unit_types();
    return core;
  }();
  return record;
}

}  // namespace units
