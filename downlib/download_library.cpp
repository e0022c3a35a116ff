#include "downlib/download_library.h"

#include "downlib/commands.h"
#include "downlib/unit_types.h"
#include "runtime/library_record.h"

namespace downlib {
namespace {

rt::RuntimeLink g_link;

int32_t RT_STDCALL notify(int32_t code, intptr_t value1, intptr_t) {
  switch (code) {
    case rt::kNotifyStart: g_link.store(value1); return 0;
    case rt::kNotifyEnd:
      stop_all_tasks();  // every running task is stopped and ends before the process does
      return 0;
    default: return rt::kNotifyUnhandled;
  }
}

const rt::CommandFunction kCommands[] = {
    Start,         // 0
    GetState,      // 1
    StateValue,    // 2
    TakeReceived,  // 3
    Stop,          // 4
};

}  // namespace

const rt::SupportLibrary kDownloadLibrary = rt::library_record({
    "7b1e0c9a5d3f48e2a6b4c8d0e2f41357",
    "网络传送支持库",
    3,
    1,
    0,
    3,
    7,
    3,
    7,
    0xC0000000,
    kUnitTypeCount,
    kUnitTypes,
    5,
    kCommands,
    notify,
});

}  // namespace downlib
