#include "web/web_library.h"

#include "runtime/library_record.h"

namespace web {
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

const rt::SupportLibrary kWebLibrary = rt::library_record({
    "9a3c5e7f1b2d4068a0c2e4f6a8b0d1e3",
    "互联网支持库",
    2, 0, 0, 3, 0, 3, 0,
    0,
    0, nullptr,
    0, nullptr,
    notify,
});

}  // namespace web
