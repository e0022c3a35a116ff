#include "runtime/core_library.h"

#include "runtime/commands/kernel_commands.h"
#include "runtime/library_record.h"

namespace rt {
namespace {

RuntimeLink g_link;

int32_t RT_STDCALL core_notify(int32_t code, intptr_t value1, intptr_t) {
  switch (code) {
    case kNotifyStart:
      g_link.store(value1);
      return 0;
    case kNotifyEnd:
      return 0;
    case 2:
    case 10:
    case 11:
    case 12:
    case 13:
      return 0;  // data views, printing and reports: not in this program
    default:
      return kNotifyUnhandled;
  }
}

}  // namespace

const SupportLibrary kCoreLibrary = library_record({
    "d4a1c3b2e5f60718293a4b5c6d7e8f90",
    "系统核心支持库",
    5, 7, 64, 3, 7, 3, 7,
    0xC0000001,
    0, nullptr,  // unit types: the window units register theirs
    kKernelCommandCount, kKernelCommands,
    core_notify,
});

}  // namespace rt
