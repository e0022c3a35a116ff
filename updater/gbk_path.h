#pragma once

#include <string>

// Paths of the program are GBK texts, in which the second byte of a
// two-byte character may be 0x5C, the code of "\".
namespace updater {

// Whether the last character of the path is a "\" (not the second half of a
// two-byte character).
inline bool ends_with_backslash(const std::string& path) {
  bool last_is_backslash = false;
  for (size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    last_is_backslash = byte == '\\';
    if (byte >= 0x80) ++i;  // a lead byte takes its trail byte with it
  }
  return last_is_backslash;
}

inline std::string with_backslash(const std::string& path) { return ends_with_backslash(path) ? path : path + "\\"; }

}  // namespace updater
