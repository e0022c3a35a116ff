#include "downlib/local_time_text.h"

#include "downlib/status_texts.h"

namespace downlib {

std::string local_time_text(const platform::LocalTime& t) {
  std::string out = text::format_text("%d年%d月%d日", t.year, t.month, t.day);
  if (t.second != 0)
    out += text::format_text("%d时%d分%d秒", t.hour, t.minute, t.second);
  else if (t.minute != 0)
    out += text::format_text("%d时%d分", t.hour, t.minute);
  else if (t.hour != 0)
    out += text::format_text("%d时", t.hour);
  return out;
}

}  // namespace downlib
