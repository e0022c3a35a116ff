#pragma once

#include <cstdint>

#include "runtime/unit_type.h"

// The unit types of the core library used by the program's windows.
namespace units {

inline constexpr int32_t kCoreUnitTypeCount = 51;

namespace core_type {
inline constexpr uint32_t kWindow = 0;
inline constexpr uint32_t kEditBox = 4;
inline constexpr uint32_t kGroupBox = 8;
inline constexpr uint32_t kLabel = 9;
inline constexpr uint32_t kButton = 10;
inline constexpr uint32_t kCheckBox = 11;
inline constexpr uint32_t kRadioBox = 12;
inline constexpr uint32_t kProcessBar = 18;
inline constexpr uint32_t kTab = 20;
inline constexpr uint32_t kTimer = 31;
}  // namespace core_type

// The core library's table of 51 unit types; unused slots are all zeros.
const rt::UnitType* core_unit_types();

rt::UnitType window_type();
rt::UnitType edit_box_type();
rt::UnitType group_box_type();
rt::UnitType label_type();
rt::UnitType button_type();
rt::UnitType check_box_type();
rt::UnitType radio_box_type();
rt::UnitType process_bar_type();
rt::UnitType tab_type();
rt::UnitType timer_type();

// Keeps a choice within 0..highest: negative values become 0, larger ones the highest.
constexpr uint32_t clamp_choice(uint32_t value, int32_t highest) {
  const auto v = static_cast<int32_t>(value);
  return static_cast<uint32_t>(v < 0 ? 0 : (v > highest ? highest : v));
}

}  // namespace units
