#include "archive/digest_library.h"

#include "runtime/library_record.h"

namespace archive {
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

const rt::SupportLibrary kDigestLibrary = rt::library_record({
    "5e8d2b7c1a9f4036b2c4d6e8f0a1b3c5",
    "数据操作支持库一",
    2, 0, 50, 3, 6, 3, 0,
    0xC0000000,
    0, nullptr,
    0, nullptr,
    notify,
});

}  // namespace archive
