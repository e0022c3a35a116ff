#include "archive/digest_library.h"

#include "archive/md5/compute_md5.h"

namespace archive {
namespace {

rt::RuntimeLink g_link;

// The library keeps no state but the runtime's system function.
int32_t RT_STDCALL notify(int32_t code, intptr_t value1, intptr_t) {
  if (code != rt::kNotifyStart) return rt::kNotifyUnhandled;
  g_link.store(value1);
  return 0;
}

const rt::CommandFunction kCommands[] = {
    ComputeMd5,  // 0
};

}  // namespace

const rt::RuntimeLink& digest_library_link() { return g_link; }

const rt::SupportLibrary kDigestLibrary = rt::library_record({
    "5e8d2b7c1a9f4036b2c4d6e8f0a1b3c5",
    "数据操作支持库一",
    2, 0, 50, 3, 6, 3, 0,
    0xC0000000,
    0, nullptr,
    1, kCommands,
    notify,
});

}  // namespace archive
