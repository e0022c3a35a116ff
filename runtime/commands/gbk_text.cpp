#include "runtime/commands/gbk_text.h"

namespace rt::commands {
namespace {

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

}  // namespace

bool matches_at(std::string_view text, size_t i, std::string_view sought, Case letter_case) {
  if (i > text.size() || sought.size() > text.size() - i) return false;
  const std::string_view here = text.substr(i, sought.size());
  if (letter_case == Case::Exact) return here == sought;
  // Walk the sought text by character: only its single-byte characters fold.
  for (size_t j = 0; j < sought.size(); j = next_character(sought, j)) {
    if (is_lead_byte(sought[j])) {
      if (here.substr(j, 2) != sought.substr(j, 2)) return false;
    } else if (ascii_lower(here[j]) != ascii_lower(sought[j])) {
      return false;
    }
  }
  return true;
}

size_t find_from(std::string_view text, size_t from, std::string_view sought, Case letter_case) {
  for (size_t i = from; i < text.size() && !is_dangling_lead(text, i); i = next_character(text, i))
    if (matches_at(text, i, sought, letter_case)) return i;
  return std::string_view::npos;
}

int compare_gbk(std::string_view a, std::string_view b, Case letter_case) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const size_t next_i = next_character(a, i);
    const size_t next_j = next_character(b, j);
    std::string_view ca = a.substr(i, next_i - i);
    std::string_view cb = b.substr(j, next_j - j);
    if (letter_case == Case::IgnoreAscii && ca.size() == 1 && cb.size() == 1) {
      const char la = ascii_lower(ca[0]);
      const char lb = ascii_lower(cb[0]);
      if (la != lb) return static_cast<unsigned char>(la) < static_cast<unsigned char>(lb) ? -1 : 1;
    } else if (const int order = ca.compare(cb); order != 0) {
      // std::string_view compares chars as unsigned (char_traits<char>).
      return order < 0 ? -1 : 1;
    }
    i = next_i;
    j = next_j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::string ascii_upper(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); i = next_character(out, i))
    if (out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - ('a' - 'A'));
  return out;
}

std::string to_half_width(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t next = next_character(text, i);
    const std::string_view c = text.substr(i, next - i);
    const auto lead = static_cast<unsigned char>(c[0]);
    const auto trail = c.size() == 2 ? static_cast<unsigned char>(c[1]) : 0;
    if (lead == 0xA3 && trail >= 0xB0 && trail <= 0xB9)
      out += static_cast<char>('0' + (trail - 0xB0));
    else if (lead == 0xA3 && trail == 0xAB)
      out += '+';
    else if (lead == 0xA3 && trail == 0xAD)
      out += '-';
    else if (lead == 0xA1 && trail == 0xA1)
      out += ' ';
    else
      out += c;
    i = next;
  }
  return out;
}

}  // namespace rt::commands
