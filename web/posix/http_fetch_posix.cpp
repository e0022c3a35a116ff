#include <curl/curl.h>

#include <mutex>
#include <new>

#include "web/http_fetch.h"
#include "web/url_parts.h"

// libcurl stands in for WinINet. The root handle is a prepared easy handle
// that carries what the Windows session and request carry: the user agent,
// HTTP/1.0, "Accept: */*", redirects followed, authentication answered only
// when the server asks, and the system's proxy settings (the environment).
// Each fetch works on its own copy, as each WinINet fetch has its own
// connection and request handles.
namespace web {
namespace {

struct CurlRoot {
  CURL* prepared = nullptr;
  curl_slist* headers = nullptr;
  std::mutex copy_mutex;  // copies are made from any thread
};

// WinINet's defaults: a minute to connect; a transfer that stalls for half a
// minute counts as a failed read.
constexpr long kConnectTimeoutSeconds = 60;
constexpr long kStallSeconds = 30;
constexpr long kMostRedirects = 20;

size_t append_body(char* data, size_t size, size_t count, void* sink) {
  auto* body = static_cast<std::vector<uint8_t>*>(sink);
  try {
    body->insert(body->end(), data, data + size * count);
  } catch (const std::bad_alloc&) {
    return 0;  // ends the transfer with what was collected
  }
  return size * count;
}

// The request target for libcurl. WinINet connects with the HTTP service
// whatever the scheme, over TLS for https, and escapes only spaces in the
// object; an object that does not start with "/" asks for the root.
std::string request_url(const UrlParts& parts) {
  std::string object = parts.object.substr(0, parts.object.find('#'));
  std::string escaped;
  for (char c : object) escaped += c == ' ' ? std::string("%20") : std::string(1, c);
  if (escaped.empty() || escaped[0] != '/') escaped.insert(0, "/");
  return std::string(parts.secure ? "https://" : "http://") + parts.host + ":" + std::to_string(parts.port) + escaped;
}

}  // namespace

void* open_root_handle() {
  // The global set-up of libcurl is not thread-safe; WebContext holds its
  // open lock here, and a failed set-up is tried again with the next open.
  static bool curl_ready = false;
  if (!curl_ready) curl_ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!curl_ready) return nullptr;

  auto* root = new (std::nothrow) CurlRoot;
  if (!root) return nullptr;
  root->prepared = curl_easy_init();
  root->headers = curl_slist_append(nullptr, "Accept: */*");
  if (!root->prepared || !root->headers) {
    close_root_handle(root);
    return nullptr;
  }
  CURL* curl = root->prepared;
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, root->headers);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMostRedirects);
  curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append_body);
  return root;
}

void close_root_handle(void* handle) {
  auto* root = static_cast<CurlRoot*>(handle);
  if (!root) return;
  curl_easy_cleanup(root->prepared);
  curl_slist_free_all(root->headers);
  delete root;
}

std::vector<uint8_t> fetch_body(WebContext& context, const std::string& url) {
  std::vector<uint8_t> body;
  const std::optional<UrlParts> parts = split_url(url);
  if (!parts) return body;

  auto* root = static_cast<CurlRoot*>(context.root());
  if (!root) return body;
  CURL* request;
  {
    std::lock_guard<std::mutex> lock(root->copy_mutex);
    request = curl_easy_duphandle(root->prepared);
  }
  if (!request) return body;

  const std::string target = request_url(*parts);
  curl_easy_setopt(request, CURLOPT_URL, target.c_str());
  if (!parts->user.empty() || !parts->password.empty()) {
    curl_easy_setopt(request, CURLOPT_USERNAME, parts->user.c_str());
    curl_easy_setopt(request, CURLOPT_PASSWORD, parts->password.c_str());
  }
  curl_easy_setopt(request, CURLOPT_WRITEDATA, &body);
  // A transfer that fails before the body leaves it empty; one that fails
  // during the body leaves what arrived, as a failed read does on Windows.
  curl_easy_perform(request);
  curl_easy_cleanup(request);
  return body;
}

}  // namespace web
