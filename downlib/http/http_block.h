#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What a task knows about its HTTP source. Filled from the URL, Proxy and
// Referer when the task is created; the probe sets the address and follows
// redirects in it; later connections of the task only read it.
namespace downlib::http {

struct HttpBlock {
  std::optional<std::string> proxy;  // "host" or "host:port"; absent when not used
  std::string request_target;        // the path, or the whole URL through a proxy
  std::string host;                  // the authority as written
  std::string referer;
  std::optional<std::string> cookie_line;  // "Cookie: ...\r\n" after a redirect, until the first ranged open
  uint16_t port = 80;                      // the URL's, or the proxy's
  std::optional<uint32_t> address;         // resolved by the probe (host byte order)

  bool through_proxy() const { return proxy.has_value(); }
};

// The block for a task: `path` and `authority` from the recognised URL.
// An absent Referer is the URL up to and including its last "/"; a present one, empty or
// not, is used as given. An empty Proxy counts as absent.
HttpBlock make_http_block(const std::string& url, const std::string& authority, const std::string& path,
                          uint16_t url_port, const std::optional<std::string>& proxy,
                          const std::optional<std::string>& referer);

// The text up to and including its last "/" (the whole text when there is
// none), at most 1024 bytes: the default referer, the page the file is on.
std::string referer_of(const std::string& url);

}  // namespace downlib::http
