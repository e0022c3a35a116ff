#pragma once

#include "runtime/unit_type.h"

// The download library's data types: type 0 "下载对象" (Download) and type 3
// "任务参数" (TaskParam) with its twenty fields; types 1, 2 and 4 are unused
// slots, all zero. Neither type has a window or an interface operation.
namespace downlib {

inline constexpr int32_t kUnitTypeCount = 5;
extern const rt::UnitType kUnitTypes[kUnitTypeCount];

}  // namespace downlib
