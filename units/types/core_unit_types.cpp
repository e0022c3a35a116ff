#include <array>

#include "units/types/core_types.h"

namespace units {
namespace {

std::array<rt::UnitType, kCoreUnitTypeCount> build() {
  std::array<rt::UnitType, kCoreUnitTypeCount> types{};
  types[core_type::kWindow] = window_type();
  types[core_type::kEditBox] = edit_box_type();
  types[core_type::kGroupBox] = group_box_type();
  types[core_type::kLabel] = label_type();
  types[core_type::kButton] = button_type();
  types[core_type::kCheckBox] = check_box_type();
  types[core_type::kRadioBox] = radio_box_type();
  types[core_type::kProcessBar] = process_bar_type();
  types[core_type::kTab] = tab_type();
  types[core_type::kTimer] = timer_type();
  return types;
}

}  // namespace

const rt::UnitType* core_unit_types() {
  static const std::array<rt::UnitType, kCoreUnitTypeCount> types = build();
  return types.data();
}

}  // namespace units
