#pragma once

#include <cstddef>
#include <string>

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
