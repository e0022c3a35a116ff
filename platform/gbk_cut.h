#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Cuts a GBK text to at most `limit` bytes without leaving half a character.
inline void cut_gbk(std::string& text, size_t limit) {
  if (text.size() <= limit) return;
  size_t end = 0;
  while (end < limit) {
    const size_t step = static_cast<unsigned char>(text[end]) >= 0x80 ? 2 : 1;
    if (end + step > limit) break;
    end += step;
  }
  text.resize(end);
}

}  // namespace platform

namespace platform {

// Position of the GBK character after the one at `i`: a byte of 0x80 or more
// starts a two-byte character (a lead byte with nothing after it ends the text).
inline size_t next_gbk_character(std::string_view text, size_t i) {
  if (static_cast<unsigned char>(text[i]) < 0x80) return i + 1;
  return i + 2 <= text.size() ? i + 2 : text.size();
}

}  // namespace platform
