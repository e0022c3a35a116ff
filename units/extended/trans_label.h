#pragma once

#include <cstdint>

#include "runtime/unit_type.h"

// 透明标签 (TransLabel), type 4 of the extended-interface library: a text
// drawn straight onto whatever lies beneath it, with no background of its own.
namespace extended {

inline constexpr uint32_t kTransLabelTypeNumber = 4;

rt::UnitType trans_label_type();

}  // namespace extended
