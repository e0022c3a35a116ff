#pragma once

#include <atomic>
#include <cstdint>

#include "downlib/net/connection.h"
#include "platform/socket.h"

// A listening socket for a peer that calls back (an FTP server in active
// mode). Waiting for the call follows the socket layer's rules: 10 ms steps,
// the stop flag looked at after each.
namespace downlib::net {

class Listener {
 public:
  Listener() = default;
  ~Listener() { close(); }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  // Listens on address (host byte order), on a port the system picks, with a
  // backlog of 1. 0, or the socket layer's code for the failure.
  int32_t open(uint32_t address);
  uint16_t port() const { return m_port; }
  bool is_open() const { return m_socket != platform::kNoSocket; }

  // Waits up to timeout_ms (at least one 10 ms step) for a connection from
  // `peer` and hands it to `into`; connections from any other address are
  // closed unheard. 0, kStopped, kConnectTimedOut, or kWaitFailed.
  int32_t accept_from(uint32_t peer, Connection& into, int32_t timeout_ms, const std::atomic<bool>* stop);

  void close();

 private:
  platform::SocketHandle m_socket = platform::kNoSocket;
  uint16_t m_port = 0;
};

}  // namespace downlib::net
