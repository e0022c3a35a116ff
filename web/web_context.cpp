#include "web/web_context.h"

namespace web {
namespace {

WebContext g_context;

}  // namespace

WebContext::WebContext(OpenRoot open, CloseRoot close) : m_open(open), m_close(close) {}

WebContext::~WebContext() {
  if (void* root = m_root.load()) m_close(root);
}

void* WebContext::root() {
  if (void* root = m_root.load(std::memory_order_acquire)) return root;
  std::lock_guard<std::mutex> lock(m_open_mutex);
  void* root = m_root.load(std::memory_order_relaxed);
  if (!root) {
    root = m_open();
    m_root.store(root, std::memory_order_release);
  }
  return root;
}

WebContext& web_context() { return g_context; }

}  // namespace web
