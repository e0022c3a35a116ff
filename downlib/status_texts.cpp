#include "downlib/status_texts.h"

#include <cstdarg>
#include <cstdio>

namespace downlib::text {

std::string format_text(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string out;
  if (size > 0) {
    out.resize(static_cast<size_t>(size) + 1);
    std::vsnprintf(out.data(), out.size(), format, again);
    out.resize(static_cast<size_t>(size));
  }
  va_end(again);
  return out;
}

}  // namespace downlib::text
