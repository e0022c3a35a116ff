#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The request texts of the HTTP side, written by hand, one request per
// connection. Direct:
//
//   GET <path> HTTP/1.1 | Host | Accept: */* | Referer | User-Agent |
//   [range line or cookie line] | Pragma: no-cache | Cache-Control: no-cache |
//   Connection: close | empty line
//
// Through a proxy:
//
//   GET <whole URL> HTTP/1.1 | Host | User-Agent | Proxy-Connection: Keep-Alive |
//   [range line or cookie line] | empty line
//
// A proxied probe without a cookie therefore has no extra line at all; the
// range line of a ranged open is sent through a proxy too, or no download
// with more than one connection could ever work through one.
namespace downlib::http {

inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)";

// The whole request must fit this area with a terminating zero.
inline constexpr size_t kRequestArea = 1024;

struct RequestFields {
  std::string_view target;  // the path, or the whole URL through a proxy
  std::string_view host;
  std::string_view referer;
  std::string_view extra_line;  // complete with its CR LF, or empty
  bool through_proxy = false;
};

// The request text, or nothing when it would not fit the request area.
std::optional<std::string> build_request(const RequestFields& fields);

// "Range: bytes=<position>-" with CR LF.
std::string range_line(int64_t position);

}  // namespace downlib::http
