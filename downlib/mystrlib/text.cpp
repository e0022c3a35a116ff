#include "downlib/mystrlib/text.h"

namespace mystrlib {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string lower_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lower(c);
  return out;
}

bool equals_no_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool starts_with_no_case(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equals_no_case(text.substr(0, prefix.size()), prefix);
}

size_t find_no_case(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (size_t i = from; i + needle.size() <= text.size(); ++i)
    if (equals_no_case(text.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::string without_line_breaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') out.push_back(c);
  return out;
}

std::string spaces_as_percent20(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == ' ')
      out += "%20";
    else
      out.push_back(c);
  }
  return out;
}

std::string percent_decoded(std::string_view text, PlusMeans plus) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2])));
      i += 2;
    } else if (c == '+' && plus == PlusMeans::Space) {
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::optional<std::string> percent_decoded_strictly(std::string_view text, PlusMeans plus) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    if (i + 2 >= text.size() || hex_digit(text[i + 1]) < 0 || hex_digit(text[i + 2]) < 0) return std::nullopt;
    i += 2;
  }
  return percent_decoded(text, plus);
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::optional<int64_t> decimal_value(std::string_view text, int64_t largest) {
  text = trimmed(text);
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (!is_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > largest) return std::nullopt;
  }
  return value;
}

bool is_dotted_ipv4(std::string_view text) {
  int parts = 0;
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find('.', start);
    const std::string_view part =
        text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (part.empty() || part.size() > 3) return false;
    int value = 0;
    for (char c : part) {
      if (!is_digit(c)) return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

uint32_t dotted_ipv4_value(std::string_view text) {
  uint32_t value = 0;
  uint32_t part = 0;
  for (char c : text) {
    if (c == '.') {
      value = (value << 8) | part;
      part = 0;
    } else {
      part = part * 10 + static_cast<uint32_t>(c - '0');
    }
  }
  return (value << 8) | part;
}

std::string_view before_last(std::string_view text, char separator) {
  const size_t at = text.rfind(separator);
  return at == std::string_view::npos ? text : text.substr(0, at);
}

std::string_view after_last(std::string_view text, char separator) {
  const size_t at = text.rfind(separator);
  return at == std::string_view::npos ? text : text.substr(at + 1);
}

size_t gbk_char_at(std::string_view text, size_t at) {
  if (gbk_char_size(static_cast<unsigned char>(text[at])) == 1 || at + 1 >= text.size()) return 1;
  const auto trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

size_t find_last_gbk(std::string_view text, char separator) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size();) {
    const size_t step = gbk_char_at(text, i);
    if (step == 1 && text[i] == separator) found = i;
    i += step;
  }
  return found;
}

}  // namespace mystrlib
