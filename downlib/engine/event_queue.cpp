#include "downlib/engine/event_queue.h"

#include <chrono>

namespace downlib::engine {

bool EventQueue::push(Message message) {
  // Events and status texts wait for the controller's next look; waking it
  // for each of the tens of thousands of Received events a fast download
  // makes would cost more than the download itself.
  const bool urgent = message.kind != Message::Kind::Event && message.kind != Message::Kind::Status;
  bool wake = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed) return false;
    m_messages.push_back(std::move(message));
    wake = urgent && !m_woken;
    m_woken = m_woken || urgent;
  }
  if (wake) m_arrived.notify_one();
  return true;
}

std::vector<Message> EventQueue::take(int32_t wait_ms) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_arrived.wait_for(lock, std::chrono::milliseconds(wait_ms), [this] { return m_woken || m_closed; });
  m_woken = false;
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
