#include <windows.h>
#include <wininet.h>

#include <memory>
#include <new>

#include "web/http_fetch.h"
#include "web/read_chunk.h"
#include "web/url_parts.h"

namespace web {
namespace {

constexpr DWORD kFetchFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;  // 0x84000000
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";

// Closes a connection or request handle when the fetch leaves.
struct HandleCloser {
  void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, HandleCloser>;

// The root handle goes through the system's preconfigured proxy, with an
// empty proxy user name and password on the connection; the results of
// these settings do not matter to the fetch.
void use_preconfigured_proxy(HINTERNET root, HINTERNET connection) {
  INTERNET_PROXY_INFO proxy = {INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
  InternetSetOptionA(root, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
  char empty[] = "";
  InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, empty, 1);
  InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, 1);
}

uint32_t chunk_for(HINTERNET request) {
  char length[32] = {};
  DWORD size = sizeof length;
  const bool declared = HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr);
  return read_chunk_size(declared ? length : nullptr);
}

}  // namespace

void* open_root_handle() { return InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0); }

void close_root_handle(void* root) { InternetCloseHandle(root); }

std::vector<uint8_t> fetch_body(WebContext& context, const std::string& url) {
  std::vector<uint8_t> body;
  const std::optional<UrlParts> parts = split_url(url);
  if (!parts) return body;
  const DWORD flags = parts->secure ? kFetchFlags | INTERNET_FLAG_SECURE : kFetchFlags;

  void* root = context.root();
  if (!root) return body;
  InternetHandle connection(InternetConnectA(root, parts->host.c_str(), parts->port, parts->user.c_str(),
                                             parts->password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return body;
  use_preconfigured_proxy(root, connection.get());

  const std::string object = parts->object.substr(0, parts->object.find('#'));
  const char* accept_types[] = {"Accept: */* \r\n", nullptr};
  InternetHandle request(
      HttpOpenRequestA(connection.get(), "GET", object.c_str(), "HTTP/1.0", nullptr, accept_types, flags, 0));
  if (!request) return body;
  if (!HttpSendRequestA(request.get(), kExtraHeaders, sizeof kExtraHeaders - 1, nullptr, 0)) return body;

  const uint32_t chunk = chunk_for(request.get());
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[chunk]);
  if (!buffer) return body;
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request.get(), buffer.get(), chunk, &read) || read == 0) break;
    body.insert(body.end(), buffer.get(), buffer.get() + read);
  }
  return body;
}

}  // namespace web
