#include "web/web_library.h"

#include "web/fetch_web_page.h"

namespace web {
namespace {

rt::RuntimeLink g_link;

// The shared session is not released at the end notification: it is closed
// with the process's static objects, after the runtime is gone.
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

const rt::CommandFunction kCommands[] = {
    FetchWebPage,  // 0
};

}  // namespace

const rt::RuntimeLink& web_library_link() { return g_link; }

const rt::SupportLibrary kWebLibrary = rt::library_record({
    "9a3c5e7f1b2d4068a0c2e4f6a8b0d1e3",
    "互联网支持库",
    2, 0, 0, 3, 0, 3, 0,
    0,
    0, nullptr,
    1, kCommands,
    notify,
});

}  // namespace web
