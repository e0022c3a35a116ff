#include "downlib/net/listener.h"

#include "downlib/net/socket_result.h"

namespace downlib::net {

int32_t Listener::open(uint32_t address) {
  close();
  if (const int32_t error = platform::start_sockets(); error != 0) return from_socket_error(error);
  int32_t error = 0;
  m_socket = platform::listen_tcp(address, 0, 1, &m_port, &error);
  if (m_socket == platform::kNoSocket) {
    m_port = 0;
    return from_socket_error(error);
  }
  return 0;
}

int32_t Listener::accept_from(uint32_t peer, Connection& into, int32_t timeout_ms, const std::atomic<bool>* stop) {
  if (!is_open()) return result::kNotReady;
  const int32_t steps = timeout_ms / kPollStepMs > 0 ? timeout_ms / kPollStepMs : 1;
  for (int32_t step = 0; step < steps; ++step) {
    int32_t error = 0;
    const int32_t ready = platform::wait_socket(m_socket, platform::Readiness::Read, kPollStepMs, &error);
    if (ready < 0) return result::kWaitFailed;
    if (ready > 0) {
      const platform::SocketHandle socket = platform::accept_connection(m_socket, &error);
      if (socket != platform::kNoSocket) {
        uint32_t from = 0;
        if (platform::socket_peer_address(socket, &from, nullptr) && from == peer) {
          into.adopt(socket);
          return 0;
        }
        platform::close_socket(socket);  // not the server: nobody else may feed the file
      } else if (error != platform::socket_error::kWouldBlock) {
        return result::kWaitFailed;
      }
    }
    if (stop && stop->load(std::memory_order_relaxed)) return result::kStopped;
  }
  return result::kConnectTimedOut;
}

void Listener::close() {
  platform::close_socket(m_socket);
  m_socket = platform::kNoSocket;
  m_port = 0;
}

}  // namespace downlib::net
