#pragma once

#include <string>

#include "platform/clock.h"

// The time text that goes with every status text: "%d年%d月%d日" and then
// "%d时%d分%d秒", shortened to "%d时%d分" when the seconds are 0 and to
// "%d时" when the minutes are 0 as well; at 0:00:00 the time part is left out.
namespace downlib {

std::string local_time_text(const platform::LocalTime& time);
inline std::string local_time_text_now() { return local_time_text(platform::local_time()); }

}  // namespace downlib
