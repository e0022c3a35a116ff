#pragma once

#include <atomic>
#include <mutex>

namespace web {

// The platform's root internet handle: an InternetOpenA session on Windows,
// natively a prepared libcurl handle that every fetch copies. The user agent
// and access type are fixed when it opens.
void* open_root_handle();
void close_root_handle(void* root);

// The web library's one session for the whole process. The root handle is
// opened by the first fetch and then shared by every fetch on any thread;
// a failed open leaves it empty, so the next fetch tries again.
class WebContext {
 public:
  using OpenRoot = void* (*)();
  using CloseRoot = void (*)(void*);

  explicit WebContext(OpenRoot open = open_root_handle, CloseRoot close = close_root_handle);
  ~WebContext();
  WebContext(const WebContext&) = delete;
  WebContext& operator=(const WebContext&) = delete;

  // Null when the root handle cannot be opened.
  void* root();

 private:
  OpenRoot m_open;
  CloseRoot m_close;
  std::atomic<void*> m_root{nullptr};
  std::mutex m_open_mutex;  // two first fetches at once open one handle
};

// The process's context, created with the library at start-up and closed at exit.
WebContext& web_context();

}  // namespace web
