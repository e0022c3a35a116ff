#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/socket.h"

// One TCP connection of a worker, with the socket layer's waiting rules:
// connects and receives look at the clock and at the worker's stop flag every
// 10 ms, so a stop takes effect within about 10 ms. Results are byte counts
// or the codes of socket_result.h.
namespace downlib::net {

inline constexpr int32_t kPollStepMs = 10;

// Told of every piece of data a receive takes in, as it arrives.
class DataListener {
 public:
  virtual void on_data(int32_t count) = 0;

 protected:
  ~DataListener() = default;
};

struct Received {
  int32_t status = 0;  // 0, or the code that ended the receive early
  int32_t count = 0;   // bytes placed in the buffer, also when status is set
};

class Connection {
 public:
  Connection() = default;
  ~Connection() { close(); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // A fresh socket connected to address:port (host byte order). 0 when
  // connected; kStopped when the stop flag was raised; kConnectTimedOut
  // after timeout_ms / 10 steps (at least one); kWaitFailed when the peer
  // refused or the wait failed; a negated socket error when no socket could
  // be made.
  int32_t connect(uint32_t address, uint16_t port, int32_t timeout_ms, const std::atomic<bool>* stop);

  // Waits until the socket takes data, then sends once. timeout_ms 0 waits
  // without limit and -1 does not wait. The byte count sent, kWaitFailed,
  // kWaitTimedOut, or the negated socket error of the send.
  int32_t send(const void* data, int32_t size, int32_t timeout_ms);

  // Receives until `size` bytes have arrived, `reads` receives have given
  // data (0 = no limit), or the stop flag is raised (kStopped). More than
  // timeout_ms without a byte gives kReceiveTimedOut (a timeout of 0 or less
  // counts as 20000 ms), the peer closing kPeerClosed. `listener` (when
  // given) hears of every piece as it arrives.
  Received receive(void* buffer, int32_t size, int32_t timeout_ms, int32_t reads, const std::atomic<bool>* stop,
                   DataListener* listener = nullptr);

  // Takes over a connected socket (one a listener accepted); the old one is closed.
  void adopt(platform::SocketHandle socket);
  // This side's address (the one the peer sees) and the peer's, in host byte
  // order; nothing when not connected.
  std::optional<uint32_t> local_address() const;
  std::optional<uint32_t> peer_address() const;

  void close();
  bool is_open() const { return m_socket != platform::kNoSocket; }

 private:
  platform::SocketHandle m_socket = platform::kNoSocket;
};

}  // namespace downlib::net
