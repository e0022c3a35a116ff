#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since the system started, wrapping at 2^32 (GetTickCount).
uint32_t tick_count();

// The wall-clock time in the local time zone (GetLocalTime).
struct LocalTime {
  int32_t year, month, day;  // month and day from 1
  int32_t hour, minute, second;
};
LocalTime local_time();

// The wall-clock time in the local time zone, to the millisecond.
struct LocalTimestamp {
  int32_t year, month, day;  // month and day from 1
  int32_t hour, minute, second, millisecond;
};
LocalTimestamp local_timestamp();

}  // namespace platform
