#include "downlib/engine/event_queue.h"

#include <chrono>

namespace downlib::engine {

bool EventQueue::push(Message message) {
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed) return false;
    wake = m_messages.empty();
    m_messages.push_back(std::move(message));
  }
  // The controller only sleeps on an empty queue.
  if (wake) m_arrived.notify_one();
  return true;
}

std::vector<Message> EventQueue::take(int32_t wait_ms) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (m_messages.empty())
    m_arrived.wait_for(lock, std::chrono::milliseconds(wait_ms), [this] { return !m_messages.empty() || m_closed; });
  std::vector<Message> taken(std::make_move_iterator(m_messages.begin()), std::make_move_iterator(m_messages.end()));
  m_messages.clear();
  return taken;
}

void EventQueue::close() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_closed = true;
  m_messages.clear();
}

}  // namespace downlib::engine
