#pragma once

#include <cstdint>

// The records through which a control raises an event of its unit
// (system functions 2008 and 2031).
namespace rt {

// 32-bit form.
struct EventRecord {
  uint32_t window_id;
  uint32_t unit_id;  // 0 or the window's own unit id: the window itself
  int32_t event;
  int32_t count;  // 0-5
  uint32_t args[5];
  int32_t has_result;
  int32_t result;
};

// Typed form: each argument with its type and how to pass it.
struct TypedEventArgument {
  uint32_t low;
  uint32_t high;
  uint32_t tag;
  uint32_t flags;  // bit 0: pass the low word only; bit 1: pass both words
};

struct TypedEventRecord {
  uint32_t window_id;
  uint32_t unit_id;
  int32_t event;
  int32_t count;  // 0-12
  TypedEventArgument args[12];
  int32_t has_result;
  uint32_t result_low;
  uint32_t result_high;
};

// Common events of every window unit.
inline constexpr int32_t kEventGotFocus = -7;
inline constexpr int32_t kEventLostFocus = -8;

}  // namespace rt
