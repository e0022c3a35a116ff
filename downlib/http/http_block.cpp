#include "downlib/http/http_block.h"

#include "downlib/mystrlib/text.h"

namespace downlib::http {
namespace {

constexpr size_t kLargestReferer = 1024;

}  // namespace

std::string referer_of(const std::string& url) {
  const size_t slash = url.rfind('/');
  std::string referer = slash == std::string::npos ? url : url.substr(0, slash + 1);
  if (referer.size() > kLargestReferer) referer.resize(kLargestReferer);
  return referer;
}

HttpBlock make_http_block(const std::string& url, const std::string& authority, const std::string& path,
                          uint16_t url_port, const std::optional<std::string>& proxy,
                          const std::optional<std::string>& referer) {
  HttpBlock block;
  block.host = authority;
  block.port = url_port;
  if (proxy && !proxy->empty()) block.proxy = *proxy;
  block.request_target = block.through_proxy() ? url : path;
  block.referer = referer ? *referer : referer_of(url);
  return block;
}

}  // namespace downlib::http
