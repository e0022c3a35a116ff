#include <strings.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "web/url_parts.h"

// The rules of the Windows URL parser, for the URLs a program passes:
//   scheme ":" [ "//" [ user [ ":" password ] "@" ] host [ ":" port ] ] object
// The authority ends at the first "/", "?" or "#"; the user name ends at the
// last ":" before the first "@"; the port follows the last ":" of the host
// and is read like atoi, kept to 16 bits. Without "//" there is no host and
// no port. No part is decoded.
namespace web {
namespace {

bool valid_scheme_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

uint16_t default_port(const std::string& scheme) {
  if (strcasecmp(scheme.c_str(), "http") == 0) return 80;
  if (strcasecmp(scheme.c_str(), "https") == 0) return 443;
  if (strcasecmp(scheme.c_str(), "ftp") == 0) return 21;
  return 0;
}

// Saturates like the Windows atoi before the cut to 16 bits.
uint16_t port_of(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  const long long clamped = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value;
  return static_cast<uint16_t>(static_cast<int32_t>(clamped));
}

}  // namespace

std::optional<UrlParts> split_url(const std::string& url) {
  const size_t colon = url.find(':');
  if (colon == std::string::npos) return std::nullopt;
  UrlParts parts;
  parts.scheme = url.substr(0, colon);
  for (char c : parts.scheme)
    if (!valid_scheme_char(c)) return std::nullopt;
  parts.secure = strcasecmp(parts.scheme.c_str(), "https") == 0;

  size_t at = colon + 1;
  if (url.compare(at, 2, "//") != 0) {
    parts.object = url.substr(at);
    return parts;
  }
  at += 2;
  const size_t authority_end = std::min(url.find_first_of("/?#", at), url.size());
  std::string authority = url.substr(at, authority_end - at);
  parts.object = url.substr(authority_end);

  const size_t user_end = authority.find('@');
  if (user_end != std::string::npos) {
    const std::string user_info = authority.substr(0, user_end);
    const size_t password_start = user_info.rfind(':');
    parts.user = user_info.substr(0, password_start);
    if (password_start != std::string::npos) parts.password = user_info.substr(password_start + 1);
    authority.erase(0, user_end + 1);
  }
  const size_t port_start = authority.rfind(':');
  parts.host = authority.substr(0, port_start);
  parts.port = port_start == std::string::npos ? default_port(parts.scheme) : port_of(authority.substr(port_start + 1));
  return parts;
}

}  // namespace web
