#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// The controller's queue: workers (and Stop) put messages in, the
// controller takes them out oldest first, looking at least every wait it
// asks for. Starts and finishes wake it at once; events and status texts
// are taken at its next look. Once closed it refuses new messages and has
// dropped the ones it held.
namespace downlib::engine {

struct Message {
  enum class Kind {
    StartWorker,  // count: workers that may follow a first worker
    Status,       // a status text for the StatusCallback
    Event,        // an event for the EventCallback
    Finish,       // close the file, stop what still runs, then stop-all
    StopAll,      // drop everything queued and end the loop
  };
  Kind kind = Kind::Event;
  int32_t count = 0;
  int32_t code = 0;
  intptr_t worker = 0;
  int32_t value1 = 0;
  int32_t value2 = 0;
  int32_t level = 0;
  std::string time;
  std::string text;
};

class EventQueue {
 public:
  // False when the queue is closed; the message is dropped.
  bool push(Message message);
  // The messages queued now, after waiting up to wait_ms for one that wakes.
  std::vector<Message> take(int32_t wait_ms);
  void close();

 private:
  std::mutex m_mutex;
  std::condition_variable m_arrived;
  std::deque<Message> m_messages;
  bool m_woken = false;  // a message that wakes the controller is queued
  bool m_closed = false;
};

}  // namespace downlib::engine
