#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Text helpers of the download engine. Texts are GBK byte strings; the
// helpers that look for ASCII separators step over double-byte characters,
// whose second byte may look like "\" or "|".
namespace mystrlib {

// ASCII letters lowered; other bytes (GBK included) unchanged.
std::string lower_ascii(std::string_view text);
bool equals_no_case(std::string_view a, std::string_view b);
bool starts_with_no_case(std::string_view text, std::string_view prefix);
// Position of `needle` in `text`, ASCII letters compared without case.
size_t find_no_case(std::string_view text, std::string_view needle, size_t from = 0);

// The text without any CR or LF byte.
std::string without_line_breaks(std::string_view text);
// Every space written as %20.
std::string spaces_as_percent20(std::string_view text);
// "%" and two hexadecimal digits become that byte; with PlusAsSpace "+"
// becomes a space. A "%" without two digits after it stays as it is.
enum class PlusMeans { Plus, Space };
std::string percent_decoded(std::string_view text, PlusMeans plus = PlusMeans::Plus);
// The same, but nothing when a "%" is not followed by two hexadecimal digits.
std::optional<std::string> percent_decoded_strictly(std::string_view text, PlusMeans plus);

// Surrounding spaces and tabs removed.
std::string_view trimmed(std::string_view text);

// A whole decimal number, optionally surrounded by spaces and tabs: digits
// only, no sign. Nothing when the text is not one or the value exceeds
// `largest`.
std::optional<int64_t> decimal_value(std::string_view text, int64_t largest);

// Four parts of one to three digits, each 0-255, separated by dots.
bool is_dotted_ipv4(std::string_view text);
// Its value in host byte order (valid only for is_dotted_ipv4 texts).
uint32_t dotted_ipv4_value(std::string_view text);

// The text before the last `separator`; the whole text when there is none.
std::string_view before_last(std::string_view text, char separator);
// The text after the last `separator`; the whole text when there is none.
std::string_view after_last(std::string_view text, char separator);

// Bytes the GBK character starting with `lead` takes (1 or 2).
inline size_t gbk_char_size(unsigned char lead) { return lead >= 0x81 && lead <= 0xFE ? 2 : 1; }
// Bytes the character at `at` takes: 2 only for a lead byte followed by a
// valid second byte (0x40-0xFE but 0x7F); any other byte stands alone.
size_t gbk_char_at(std::string_view text, size_t at);
// Position of the last ASCII `separator` that is a character of its own
// (not the second byte of a double-byte character), or npos.
size_t find_last_gbk(std::string_view text, char separator);

}  // namespace mystrlib
