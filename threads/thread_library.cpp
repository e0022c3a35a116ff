#include "threads/thread_library.h"

#include "runtime/library_record.h"
#include "threads/critical_section_list.h"
#include "threads/start_thread.h"

namespace threads {
namespace {

rt::RuntimeLink g_link;

int32_t RT_STDCALL notify(int32_t code, intptr_t value1, intptr_t) {
  switch (code) {
    case rt::kNotifyStart:
      g_link.store(value1);
      return 0;
    case rt::kNotifyEnd:
      release_critical_sections();
      return 0;
    default:
      return rt::kNotifyUnhandled;
  }
}

const rt::CommandFunction kCommands[] = {
    StartThread,  // 0
};

}  // namespace

const rt::SupportLibrary kThreadLibrary = rt::library_record({
    "1f3e5d7c9b0a4286e4d6c8b0a2f4e6d8",
    "多线程支持库",
    2, 0, 3, 3, 7, 3, 7,
    0xC0000000,
    0, nullptr,
    1, kCommands,
    notify,
});

}  // namespace threads
