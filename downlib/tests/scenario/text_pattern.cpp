#include "downlib/tests/scenario/text_pattern.h"

namespace scenario {
namespace {

constexpr char kMarker = '\x01';

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Matches one alternative from pattern[p] against text[t], both to their ends.
bool match_from(std::string_view pattern, size_t p, std::string_view text, size_t t) {
  while (p < pattern.size()) {
    if (pattern[p] != kMarker || p + 1 >= pattern.size()) {
      if (t >= text.size() || text[t] != pattern[p]) return false;
      ++p;
      ++t;
      continue;
    }
    const char kind = pattern[p + 1];
    p += 2;
    if (kind == 'A') {
      for (size_t end = text.size() + 1; end-- > t;)
        if (match_from(pattern, p, text, end)) return true;
      return false;
    }
    if (kind == 'N') {
      size_t end = t;
      if (end < text.size() && text[end] == '-') ++end;
      const size_t digits = end;
      while (end < text.size() && is_digit(text[end])) ++end;
      if (end == digits) return false;
      // A number is taken whole: the pattern goes on after its last digit.
      return match_from(pattern, p, text, end);
    }
    return false;  // an unknown marker matches nothing
  }
  return t == text.size();
}

}  // namespace

std::vector<std::string> split_alternatives(std::string_view pattern) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] == kMarker && pattern[i + 1] == '|') {
      parts.emplace_back(pattern.substr(start, i - start));
      start = i + 2;
      ++i;
    }
  }
  parts.emplace_back(pattern.substr(start));
  return parts;
}

bool pattern_matches(std::string_view pattern, std::string_view text) {
  for (const std::string& alternative : split_alternatives(pattern))
    if (match_from(alternative, 0, text, 0)) return true;
  return false;
}

std::string pattern_source(std::string_view pattern) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == kMarker && i + 1 < pattern.size()) {
      const char kind = pattern[++i];
      out += kind == 'N' ? "%N%" : kind == 'A' ? "%ANY%" : kind == '|' ? " || " : "%?%";
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace scenario
