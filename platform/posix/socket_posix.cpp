#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/socket.h"

namespace platform {
namespace {

// errno in Winsock's numbering, so that the texts and the retry decisions
// built on these numbers are the same in both builds.
int32_t winsock_number(int error) {
  namespace e = socket_error;
  switch (error) {
    case EINTR: return e::kInterrupted;
    case EFAULT: return e::kBadAddress;
    case EINVAL: return e::kInvalidArgument;
    case EAGAIN: return e::kWouldBlock;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK: return e::kWouldBlock;
#endif
    case EINPROGRESS: return e::kInProgress;
    case EALREADY: return e::kAlready;
    case EBADF:
    case ENOTSOCK: return e::kNotSocket;
    case EMSGSIZE: return e::kMessageSize;
    case EOPNOTSUPP: return e::kNotSupported;
    case EADDRINUSE: return e::kAddressInUse;
    case ENETDOWN: return e::kNetworkDown;
    case ENETUNREACH: return e::kNetworkUnreachable;
    case ENETRESET: return e::kNetworkReset;
    case ECONNABORTED: return e::kConnectionAborted;
    case ECONNRESET:
    case EPIPE: return e::kConnectionReset;  // Winsock reports a send to a reset peer so
    case ENOBUFS:
    case ENOMEM: return e::kNoBuffers;
    case EISCONN: return e::kAlreadyConnected;
    case ENOTCONN: return e::kNotConnected;
    case ESHUTDOWN: return e::kShutDown;
    case ETIMEDOUT: return e::kTimedOut;
    case ECONNREFUSED: return e::kConnectionRefused;
    case EHOSTUNREACH:
    case EHOSTDOWN: return e::kHostUnreachable;
    default: return e::kOther;
  }
}

int fd_of(SocketHandle socket) { return static_cast<int>(socket); }

sockaddr_in ipv4_address(uint32_t address, uint16_t port) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(port);
  where.sin_addr.s_addr = htonl(address);
  return where;
}

}  // namespace

int32_t start_sockets() { return 0; }

SocketHandle open_tcp_socket(int32_t* error) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
  if (fd < 0) {
    *error = winsock_number(errno);
    return kNoSocket;
  }
  return fd;
}

void close_socket(SocketHandle socket) {
  if (socket != kNoSocket) close(fd_of(socket));
}

void reset_socket(SocketHandle socket) {
  if (socket == kNoSocket) return;
  const linger abort{1, 0};
  setsockopt(fd_of(socket), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  close(fd_of(socket));
}

int32_t start_connect(SocketHandle socket, uint32_t address, uint16_t port) {
  const sockaddr_in where = ipv4_address(address, port);
  if (connect(fd_of(socket), reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0) return 0;
  return winsock_number(errno);
}

int32_t wait_socket(SocketHandle socket, Readiness what, int32_t timeout_ms, int32_t* error) {
  pollfd entry{};
  entry.fd = fd_of(socket);
  entry.events = what == Readiness::Read ? POLLIN : what == Readiness::Write ? POLLOUT : (POLLIN | POLLOUT);
  const int n = poll(&entry, 1, timeout_ms < 0 ? 0 : timeout_ms);
  if (n < 0) {
    if (errno == EINTR) return 0;  // as a step without news; the caller looks again
    *error = winsock_number(errno);
    return -1;
  }
  if (n == 0) return 0;
  if (entry.revents & POLLNVAL) {
    *error = socket_error::kNotSocket;
    return -1;
  }
  // An error or a hang-up is "ready": the next receive or send tells which.
  return 1;
}

int32_t pending_socket_error(SocketHandle socket) {
  int value = 0;
  socklen_t size = sizeof value;
  if (getsockopt(fd_of(socket), SOL_SOCKET, SO_ERROR, &value, &size) != 0) return winsock_number(errno);
  return value == 0 ? 0 : winsock_number(value);
}

int32_t send_bytes(SocketHandle socket, const void* data, int32_t size) {
  for (;;) {
    const ssize_t n = send(fd_of(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL);
    if (n >= 0) return static_cast<int32_t>(n);
    if (errno != EINTR) return -winsock_number(errno);
  }
}

int32_t receive_bytes(SocketHandle socket, void* buffer, int32_t size) {
  for (;;) {
    const ssize_t n = recv(fd_of(socket), buffer, static_cast<size_t>(size), 0);
    if (n >= 0) return static_cast<int32_t>(n);
    if (errno != EINTR) return -winsock_number(errno);
  }
}

bool resolve_ipv4(const std::string& name, uint32_t* address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  bool ok = false;
  for (const addrinfo* it = found; it && !ok; it = it->ai_next) {
    if (it->ai_family != AF_INET || !it->ai_addr) continue;
    *address = ntohl(reinterpret_cast<const sockaddr_in*>(it->ai_addr)->sin_addr.s_addr);
    ok = true;
  }
  freeaddrinfo(found);
  return ok;
}

std::string dotted_ipv4(uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

SocketHandle listen_tcp(uint32_t address, uint16_t port, int32_t backlog, uint16_t* bound_port, int32_t* error) {
  const SocketHandle socket = open_tcp_socket(error);
  if (socket == kNoSocket) return kNoSocket;
  const int fd = fd_of(socket);
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in where = ipv4_address(address, port);
  socklen_t size = sizeof where;
  if (bind(fd, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 || listen(fd, backlog) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size) != 0) {
    *error = winsock_number(errno);
    close_socket(socket);
    return kNoSocket;
  }
  if (bound_port) *bound_port = ntohs(where.sin_port);
  return socket;
}

SocketHandle accept_connection(SocketHandle listener, int32_t* error) {
  const int fd = accept4(fd_of(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) {
    *error = winsock_number(errno);
    return kNoSocket;
  }
  return fd;
}

namespace {

bool address_of(int result, const sockaddr_in& where, uint32_t* address, uint16_t* port) {
  if (result != 0 || where.sin_family != AF_INET) return false;
  if (address) *address = ntohl(where.sin_addr.s_addr);
  if (port) *port = ntohs(where.sin_port);
  return true;
}

}  // namespace

bool socket_local_address(SocketHandle socket, uint32_t* address, uint16_t* port) {
  sockaddr_in where{};
  socklen_t size = sizeof where;
  return address_of(getsockname(fd_of(socket), reinterpret_cast<sockaddr*>(&where), &size), where, address, port);
}

bool socket_peer_address(SocketHandle socket, uint32_t* address, uint16_t* port) {
  sockaddr_in where{};
  socklen_t size = sizeof where;
  return address_of(getpeername(fd_of(socket), reinterpret_cast<sockaddr*>(&where), &size), where, address, port);
}

}  // namespace platform
