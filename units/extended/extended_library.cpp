#include "units/extended/extended_library.h"

#include "runtime/library_record.h"

#ifdef _WIN32
#include "units/extended/trans_label.h"
#endif

namespace extended {
namespace {

rt::RuntimeLink g_link;

#ifdef _WIN32
// Only the transparent label (type 4) is part of this program; the library's
// other types keep their slots, all zeros.
constexpr int32_t kUnitTypeCount = 5;
const rt::UnitType kUnitTypes[kUnitTypeCount] = {{}, {}, {}, {}, trans_label_type()};
constexpr const rt::UnitType* kUnitTypeTable = kUnitTypes;
#else
// Without windows the library has no unit types.
constexpr int32_t kUnitTypeCount = 0;
constexpr const rt::UnitType* kUnitTypeTable = nullptr;
#endif

int32_t RT_STDCALL notify(int32_t code, intptr_t value1, intptr_t) {
  switch (code) {
    case rt::kNotifyStart:
      g_link.store(value1);
      return 0;
    case rt::kNotifyEnd:
      return 0;
    default:
      return rt::kNotifyUnhandled;
  }
}

}  // namespace

const rt::SupportLibrary kExtendedLibrary = rt::library_record({
    "2c9f4e1a7b3d45c6809e1f2a3b4c5d6e",
    "扩展界面支持库一",
    2, 0, 3, 3, 0, 3, 0,
    0,
    kUnitTypeCount, kUnitTypeTable,
    0, nullptr,
    notify,
});

}  // namespace extended
