#include "units/extended/extended_library.h"

#include "runtime/library_record.h"

namespace extended {
namespace {

rt::RuntimeLink g_link;

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
    0, nullptr,
    0, nullptr,
    notify,
});

}  // namespace extended
