#include "downlib/net/connection.h"

#include "downlib/net/socket_result.h"
#include "platform/clock.h"

namespace downlib::net {
namespace {

constexpr int32_t kDefaultReceiveTimeoutMs = 20000;

bool stop_raised(const std::atomic<bool>* stop) { return stop && stop->load(std::memory_order_relaxed); }

bool pending(int32_t error) {
  return error == platform::socket_error::kWouldBlock || error == platform::socket_error::kInProgress ||
         error == platform::socket_error::kAlready;
}

}  // namespace

int32_t Connection::connect(uint32_t address, uint16_t port, int32_t timeout_ms, const std::atomic<bool>* stop) {
  close();
  if (const int32_t error = platform::start_sockets(); error != 0) return from_socket_error(error);
  int32_t error = 0;
  m_socket = platform::open_tcp_socket(&error);
  if (m_socket == platform::kNoSocket) return from_socket_error(error);

  error = platform::start_connect(m_socket, address, port);
  if (error == 0) return 0;
  if (!pending(error)) return result::kWaitFailed;

  const int32_t steps = timeout_ms / kPollStepMs > 0 ? timeout_ms / kPollStepMs : 1;
  for (int32_t step = 0; step < steps; ++step) {
    int32_t wait_error = 0;
    const int32_t ready = platform::wait_socket(m_socket, platform::Readiness::ReadOrWrite, kPollStepMs, &wait_error);
    if (ready < 0) return result::kWaitFailed;
    if (ready > 0) return platform::pending_socket_error(m_socket) == 0 ? 0 : result::kWaitFailed;
    if (stop_raised(stop)) return result::kStopped;
    if (platform::pending_socket_error(m_socket) != 0) return result::kWaitFailed;
  }
  return result::kConnectTimedOut;
}

int32_t Connection::send(const void* data, int32_t size, int32_t timeout_ms) {
  if (!is_open()) return result::kNotReady;
  const auto* bytes = static_cast<const char*>(data);
  int32_t sent = 0;
  const uint32_t started = platform::tick_count();
  while (sent < size) {
    int32_t wait_error = 0;
    int32_t ready = 0;
    if (timeout_ms < 0) {
      ready = platform::wait_socket(m_socket, platform::Readiness::Write, 0, &wait_error);
    } else {
      // In steps, so that "without limit" is no special case of the wait.
      for (;;) {
        ready = platform::wait_socket(m_socket, platform::Readiness::Write, kPollStepMs * 10, &wait_error);
        if (ready != 0) break;
        if (timeout_ms > 0 && platform::tick_count() - started >= static_cast<uint32_t>(timeout_ms)) break;
      }
    }
    if (ready < 0) return result::kWaitFailed;
    if (ready == 0) return result::kWaitTimedOut;
    const int32_t n = platform::send_bytes(m_socket, bytes + sent, size - sent);
    if (n == -platform::socket_error::kWouldBlock) continue;
    if (n < 0) return from_socket_error(-n);
    sent += n;
  }
  return sent;
}

Received Connection::receive(void* buffer, int32_t size, int32_t timeout_ms, int32_t reads,
                             const std::atomic<bool>* stop, DataListener* listener) {
  Received got;
  if (!is_open()) {
    got.status = result::kNotReady;
    return got;
  }
  const uint32_t timeout = static_cast<uint32_t>(timeout_ms > 0 ? timeout_ms : kDefaultReceiveTimeoutMs);
  auto* bytes = static_cast<char*>(buffer);
  int32_t reads_done = 0;
  uint32_t idle_since = platform::tick_count();
  while (got.count < size) {
    if (stop_raised(stop)) {
      got.status = result::kStopped;
      return got;
    }
    const int32_t n = platform::receive_bytes(m_socket, bytes + got.count, size - got.count);
    if (n > 0) {
      got.count += n;
      idle_since = platform::tick_count();
      if (listener) listener->on_data(n);
      if (reads > 0 && ++reads_done >= reads) break;
      continue;
    }
    if (n == 0) {
      got.status = result::kPeerClosed;
      return got;
    }
    if (n != -platform::socket_error::kWouldBlock) {
      got.status = from_socket_error(-n);
      return got;
    }
    // Nothing waiting: look again in 10 ms steps until the silence is too long.
    int32_t wait_error = 0;
    const int32_t ready = platform::wait_socket(m_socket, platform::Readiness::Read, kPollStepMs, &wait_error);
    if (ready < 0) {
      got.status = result::kWaitFailed;
      return got;
    }
    if (ready == 0 && platform::tick_count() - idle_since > timeout) {
      got.status = result::kReceiveTimedOut;
      return got;
    }
  }
  return got;
}

void Connection::adopt(platform::SocketHandle socket) {
  close();
  m_socket = socket;
}

std::optional<uint32_t> Connection::local_address() const {
  uint32_t address = 0;
  if (!is_open() || !platform::socket_local_address(m_socket, &address, nullptr)) return std::nullopt;
  return address;
}

std::optional<uint32_t> Connection::peer_address() const {
  uint32_t address = 0;
  if (!is_open() || !platform::socket_peer_address(m_socket, &address, nullptr)) return std::nullopt;
  return address;
}

void Connection::close() {
  platform::close_socket(m_socket);
  m_socket = platform::kNoSocket;
}

}  // namespace downlib::net
