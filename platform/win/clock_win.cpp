#include <windows.h>

#include "platform/clock.h"

namespace platform {

uint32_t tick_count() { return GetTickCount(); }

}  // namespace platform
