#include "platform/testing/display_text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cstdio>

namespace test_support {
namespace {

void append_escaped(std::string& out, unsigned char c) {
  switch (c) {
    case '\r': out += "\\r"; return;
    case '\n': out += "\\n"; return;
    case '\t': out += "\\t"; return;
    case '\\': out += "\\\\"; return;
    default: break;
  }
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
  out += escaped;
}

// One double-byte GBK character in UTF-8; empty when it is not one.
std::string utf8_of_pair(const char pair[2]) {
#ifdef _WIN32
  wchar_t wide[2];
  const int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, pair, 2, wide, 2);
  if (n != 1) return {};
  char utf8[8];
  const int m = WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, sizeof utf8, nullptr, nullptr);
  return m > 0 ? std::string(utf8, static_cast<size_t>(m)) : std::string();
#else
  iconv_t cd = iconv_open("UTF-8", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  char in[2] = {pair[0], pair[1]};
  char out[8];
  char* in_ptr = in;
  char* out_ptr = out;
  size_t in_left = 2, out_left = sizeof out;
  const bool converted = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1) && in_left == 0;
  iconv_close(cd);
  return converted ? std::string(out, sizeof out - out_left) : std::string();
#endif
}

}  // namespace

std::string display_text(std::string_view gbk) {
  std::string out;
  for (size_t i = 0; i < gbk.size(); ++i) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
      continue;
    }
    if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) {
      const std::string character = utf8_of_pair(gbk.data() + i);
      if (!character.empty()) {
        out += character;
        ++i;
        continue;
      }
    }
    append_escaped(out, c);
  }
  return out;
}

}  // namespace test_support
