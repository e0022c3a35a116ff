#include "downlib/url.h"

#include <iterator>

#include "downlib/mystrlib/text.h"

namespace downlib {
namespace {

struct Row {
  char letter;
  size_t last_byte;  // 1-based position of the last byte summed (from the 2nd)
  uint32_t sum;
  Protocol protocol;
  uint16_t port;
};

// In table order; a row of MMS is tested twice, for both of its prefixes.
constexpr Row kRows[] = {
    {'h', 7, 496, Protocol::Http, 80},  {'f', 6, 380, Protocol::Ftp, 21},   {'m', 6, 376, Protocol::Mms, 1755},
    {'m', 7, 492, Protocol::Mms, 1755}, {'r', 7, 495, Protocol::Rtsp, 554},
};

// Sum of the bytes from the 2nd to the `last`th, or nothing when the text is shorter.
std::optional<uint32_t> sum_of(std::string_view lowered, size_t last) {
  if (lowered.size() < last) return std::nullopt;
  uint32_t sum = 0;
  for (size_t i = 1; i < last; ++i) sum += static_cast<unsigned char>(lowered[i]);
  return sum;
}

std::optional<uint16_t> port_number(std::string_view text, uint16_t fallback) {
  if (text.empty()) return fallback;
  const auto value = mystrlib::decimal_value(text, 65535);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

}  // namespace

uint16_t default_port(Protocol protocol) {
  for (const Row& row : kRows)
    if (row.protocol == protocol) return row.port;
  return 0;
}

std::optional<Protocol> recognise_protocol(std::string_view url, size_t* prefix_length) {
  const std::string lowered = mystrlib::lower_ascii(url);
  if (lowered.empty()) return std::nullopt;
  size_t first = std::size(kRows);
  for (size_t i = 0; i < std::size(kRows); ++i) {
    if (kRows[i].letter == lowered[0]) {
      first = i;
      break;
    }
  }
  for (size_t i = first; i < std::size(kRows); ++i) {
    const auto sum = sum_of(lowered, kRows[i].last_byte);
    if (sum && *sum == kRows[i].sum) {
      if (prefix_length) *prefix_length = kRows[i].last_byte;
      return kRows[i].protocol;
    }
  }
  return std::nullopt;
}

std::optional<UrlParts> recognise_url(std::string_view url) {
  UrlParts parts;
  const auto protocol = recognise_protocol(url, &parts.prefix_length);
  if (!protocol) return std::nullopt;
  parts.protocol = *protocol;

  const std::string_view rest = url.substr(parts.prefix_length);
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos || slash == 0) return std::nullopt;
  parts.authority = std::string(rest.substr(0, slash));
  parts.path = std::string(rest.substr(slash));

  // The port follows the ":" after the user information, or the first ":".
  const std::string_view authority = parts.authority;
  const size_t at = authority.rfind('@');
  const size_t colon = at == std::string_view::npos ? authority.find(':') : authority.find(':', at + 1);
  parts.port = default_port(parts.protocol);
  if (colon != std::string_view::npos) {
    const auto port = port_number(authority.substr(colon + 1), parts.port);
    if (!port) return std::nullopt;
    parts.port = *port;
  }
  return parts;
}

}  // namespace downlib
