#include <iconv.h>

#include <algorithm>

#include "platform/path.h"

namespace platform {
namespace {

std::string convert(const std::string& text, const char* to, const char* from) {
  bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return text;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out(text.size() * 4 + 4, '\0');
  char* in_ptr = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char* out_ptr = out.data();
  size_t out_left = out.size();
  while (in_left > 0) {
    if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1)) {
      // An unconvertible byte passes through unchanged.
      if (out_left == 0) break;
      *out_ptr++ = *in_ptr++;
      --in_left;
      --out_left;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace

std::string native_path(const std::string& program_path) {
  std::string path = convert(program_path, "UTF-8", "GBK");
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string program_text(const std::string& native_name) { return convert(native_name, "GBK", "UTF-8"); }

std::string program_path(const std::string& native) {
  std::string path = program_text(native);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace platform
