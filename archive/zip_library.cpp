#include "archive/zip_library.h"

#include "archive/zip/unpack_archive.h"
#include "archive/zip/zip_object_type.h"
#include "runtime/library_record.h"

namespace archive {
namespace {

rt::RuntimeLink g_link;

// The library keeps no state between calls but the runtime's system function.
int32_t RT_STDCALL notify(int32_t code, intptr_t value1, intptr_t) {
  if (code != rt::kNotifyStart) return rt::kNotifyUnhandled;
  g_link.store(value1);
  return 0;
}

const rt::CommandFunction kCommands[] = {
    UnpackArchive,  // 0
};

}  // namespace

const rt::RuntimeLink& zip_library_link() { return g_link; }

// The unit type table is filled in at start-up (the type lives with the window
// units on Windows); the record itself stays a plain constant.
// clang-format off
const rt::SupportLibrary kZipLibraryRecord = rt::library_record({
    "6c4a2e0f8d1b4397c5e7a9b1d3f5a7c9",
    "压缩解压支持库",
    2, 0, 0, 3, 0, 3, 0,
    0,
    0, nullptr,
    1, kCommands,
    notify,
});
// clang-format on

const rt::SupportLibrary& zip_library() {
  static const rt::SupportLibrary record = [] {
    rt::SupportLibrary library = kZipLibraryRecord;
    if (const rt::UnitType* type = zip_object_type()) {
      library.unit_type_count = 1;
      library.unit_types = type;
    }
    return library;
  }();
  return record;
}

}  // namespace archive
