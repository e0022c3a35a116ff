#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A scripted HTTP peer for a fault no real server makes on purpose: it
// answers every request (ranged or not) with the headers of a file of
// `total` bytes, sends `sent` bytes of it and closes the connection.
namespace updater::testing {

class DroppingServer {
 public:
  DroppingServer(uint32_t total, uint32_t sent);
  ~DroppingServer();
  DroppingServer(const DroppingServer&) = delete;
  DroppingServer& operator=(const DroppingServer&) = delete;

  std::string url(const std::string& path) const;
  int connections() const { return m_connections.load(); }

 private:
  void serve();

  uint32_t m_total, m_sent;
  uintptr_t m_listener;
  uint16_t m_port = 0;
  std::atomic<bool> m_stopping{false};
  std::atomic<int> m_connections{0};
  std::thread m_thread;
};

}  // namespace updater::testing
