#include "downlib/http/redirect.h"

#include "downlib/mystrlib/text.h"
#include "downlib/url.h"

namespace downlib::http {
namespace {

constexpr std::string_view kHttpPrefix = "http://";

// The path part of a proxied target "http://host/path": from the first "/"
// after the host; "/" when there is none.
std::string_view path_part(std::string_view target) {
  if (target.substr(0, kHttpPrefix.size()) == kHttpPrefix) target.remove_prefix(kHttpPrefix.size());
  const size_t slash = target.find('/');
  return slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
}

// Up to and including the last "/"; empty when there is none.
std::string_view directory_of(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

bool apply_absolute(HttpBlock& block, std::string_view location) {
  std::string url(location);
  // "http://host" names the root; the recogniser wants its "/".
  if (url.find('/', kHttpPrefix.size()) == std::string::npos) url += '/';
  const auto parts = recognise_url(url);
  if (!parts || parts->protocol != Protocol::Http) return false;
  block.host = parts->authority;
  block.request_target = block.through_proxy() ? url : parts->path;
  if (!block.through_proxy()) block.port = parts->port;
  block.referer = referer_of(url);
  return true;
}

void apply_relative(HttpBlock& block, std::string_view location) {
  const bool rooted = !location.empty() && location.front() == '/';
  // A proxied target is a whole URL whose path part always starts with "/".
  const std::string_view current = block.through_proxy() ? path_part(block.request_target) : block.request_target;
  const std::string_view directory = rooted ? std::string_view() : directory_of(current);
  const std::string prefix = block.through_proxy() ? std::string(kHttpPrefix) + block.host : std::string();
  block.request_target = prefix + std::string(directory) + std::string(location);
  const std::string page = std::string(kHttpPrefix) + block.host + (rooted ? "" : "/") + std::string(location);
  block.referer = referer_of(page);
}

}  // namespace

bool apply_redirect(HttpBlock& block, std::string_view location, const std::optional<std::string>& set_cookie) {
  std::optional<std::string> cookie_line = block.cookie_line;
  if (set_cookie) {
    if (set_cookie->size() > kLargestCookie) return false;
    const std::string_view value = std::string_view(*set_cookie).substr(0, set_cookie->find(';'));
    cookie_line = "Cookie: " + std::string(value) + "\r\n";
  }
  if (location.substr(0, 6) == "ftp://") return false;

  HttpBlock changed = block;
  if (location.substr(0, kHttpPrefix.size()) == kHttpPrefix) {
    if (!apply_absolute(changed, location)) return false;
  } else {
    apply_relative(changed, location);
  }
  changed.cookie_line = std::move(cookie_line);
  // A new host needs a new address; through a proxy the proxy's stays.
  if (!changed.through_proxy() && changed.host != block.host) changed.address.reset();
  block = std::move(changed);
  return true;
}

}  // namespace downlib::http
