#pragma once

#include <string>
#include <vector>

// Paths of the program are GBK texts, in which the second byte of a
// two-byte character may be 0x5C, the code of "\", or an ASCII letter.
namespace updater {

inline bool is_lead_byte(char c) { return static_cast<unsigned char>(c) >= 0x81; }

// Whether the last character of the path is a "\" (not the second half of a
// two-byte character).
inline bool ends_with_backslash(const std::string& path) {
  bool last_is_backslash = false;
  for (size_t i = 0; i < path.size(); ++i) {
    last_is_backslash = path[i] == '\\';
    if (is_lead_byte(path[i])) ++i;  // a lead byte takes its trail byte with it
  }
  return last_is_backslash;
}

inline std::string with_backslash(const std::string& path) { return ends_with_backslash(path) ? path : path + "\\"; }

// The parts of a path between its "\" characters, empty parts included.
inline std::vector<std::string> path_parts(const std::string& path) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\') {
      parts.emplace_back();
      continue;
    }
    parts.back() += path[i];
    if (is_lead_byte(path[i]) && i + 1 < path.size()) parts.back() += path[++i];
  }
  return parts;
}

// The path with its ASCII letters in lower case, the halves of two-byte
// characters untouched: two spellings of one name on a Windows file system
// give the same key.
inline std::string folded_path(const std::string& path) {
  std::string folded = path;
  for (size_t i = 0; i < folded.size(); ++i) {
    if (is_lead_byte(folded[i])) {
      ++i;
      continue;
    }
    if (folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
  }
  return folded;
}

}  // namespace updater
