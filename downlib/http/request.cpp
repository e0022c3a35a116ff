#include "downlib/http/request.h"

namespace downlib::http {

std::optional<std::string> build_request(const RequestFields& f) {
  std::string out;
  out.reserve(kRequestArea);
  out.append("GET ").append(f.target).append(" HTTP/1.1\r\n");
  out.append("Host: ").append(f.host).append("\r\n");
  if (f.through_proxy) {
    out.append("User-Agent: ").append(kUserAgent).append("\r\n");
    out.append("Proxy-Connection: Keep-Alive\r\n");
    out.append(f.extra_line);
    out.append("\r\n");
  } else {
    out.append("Accept: */*\r\n");
    out.append("Referer: ").append(f.referer).append("\r\n");
    out.append("User-Agent: ").append(kUserAgent).append("\r\n");
    out.append(f.extra_line);
    out.append("Pragma: no-cache\r\n");
    out.append("Cache-Control: no-cache\r\n");
    out.append("Connection: close\r\n\r\n");
  }
  if (out.size() + 1 > kRequestArea) return std::nullopt;
  return out;
}

std::string range_line(int64_t position) { return "Range: bytes=" + std::to_string(position) + "-\r\n"; }

}  // namespace downlib::http
