#include <windows.h>

#include "platform/clock.h"

namespace platform {

uint32_t tick_count() { return GetTickCount(); }

}  // namespace platform

namespace platform {

LocalTimestamp local_timestamp() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace platform
