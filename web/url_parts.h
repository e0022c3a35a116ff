#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace web {

// A URL split the way the platform's URL parser splits it: nothing is
// decoded or escaped, and the object keeps the query.
struct UrlParts {
  std::string scheme;
  std::string host;
  uint16_t port = 0;  // the scheme's default when the URL names none
  std::string user;
  std::string password;
  std::string object;   // path and query; empty when the URL has no path
  bool secure = false;  // the scheme is https
};

// The platform's URL parser (InternetCrackUrlA without encoding on Windows,
// a parser of the same rules natively); nothing when it refuses the URL.
std::optional<UrlParts> split_url(const std::string& url);

}  // namespace web
