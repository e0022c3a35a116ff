#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Walking GBK texts by character. A byte with the high bit set starts a
// two-byte character and takes the next byte with it; a lead byte with
// nothing after it ends the text. Searches and splits only start at the
// positions this walk visits, so they never begin inside a character.
namespace rt::commands {

enum class Case { Exact, IgnoreAscii };

inline bool is_lead_byte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Position of the character after the one at `i`; text.size() at the end.
inline size_t next_character(std::string_view text, size_t i) {
  if (!is_lead_byte(text[i])) return i + 1;
  return i + 2 <= text.size() ? i + 2 : text.size();
}

// A lead byte with nothing after it: the walk ends there.
inline bool is_dangling_lead(std::string_view text, size_t i) { return is_lead_byte(text[i]) && i + 1 == text.size(); }

// Whether `sought` appears in `text` at byte `i` (a character start).
bool matches_at(std::string_view text, size_t i, std::string_view sought, Case letter_case);

// Byte position of the first match at or after `from`, or npos.
size_t find_from(std::string_view text, size_t from, std::string_view sought, Case letter_case);

// Character by character: -1, 0 or 1. Two-byte characters are compared by
// their bytes (GBK's order, which for the common characters is pinyin order);
// when asked, ASCII letters are compared as lower case, as the C library's
// case-insensitive comparisons do. One implementation in every build, so
// both builds order texts alike.
int compare_gbk(std::string_view a, std::string_view b, Case letter_case);

// ASCII a-z raised to A-Z; two-byte characters untouched.
std::string ascii_upper(std::string_view text);

// Full-width digits, plus and minus signs and the ideographic space turned
// into their ASCII forms; everything else kept.
std::string to_half_width(std::string_view text);

}  // namespace rt::commands
