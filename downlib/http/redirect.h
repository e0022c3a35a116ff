#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "downlib/http/http_block.h"

// Following a 301 or 302 in a task's HTTP block:
//
// 1. A Set-Cookie value (at most 4086 bytes) becomes the cookie line
//    "Cookie: <value up to its first ;>\r\n" of the next probe.
// 2. A location starting with "ftp://" cannot be followed.
// 3. A location starting with "http://" is a URL: it must be HTTP with a
//    host. Its host, port and path (the whole URL through a proxy) replace
//    the block's; the referer is the location up to and including its last "/".
// 4. Anything else is relative to the current target: a location that
//    starts with "/" replaces the path, any other replaces the part after
//    the last "/". The referer becomes "http://<host>/<location>" up to its
//    last "/". ("https://..." and upper-case schemes are relative too.)
namespace downlib::http {

inline constexpr size_t kLargestCookie = 4086;

// False when the redirect cannot be applied; the block is then unchanged.
bool apply_redirect(HttpBlock& block, std::string_view location, const std::optional<std::string>& set_cookie);

}  // namespace downlib::http
