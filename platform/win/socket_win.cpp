#include <winsock2.h>
#include <ws2tcpip.h>

#include <mutex>

#include "platform/socket.h"

namespace platform {
namespace {

SOCKET raw(SocketHandle socket) { return static_cast<SOCKET>(socket); }

sockaddr_in ipv4_address(uint32_t address, uint16_t port) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(port);
  where.sin_addr.s_addr = htonl(address);
  return where;
}

bool make_non_blocking(SOCKET socket) {
  u_long on = 1;
  return ioctlsocket(socket, FIONBIO, &on) == 0;
}

}  // namespace

// The session is never cleaned up here: the runtime ends Winsock with the
// process, after every task has been stopped.
int32_t start_sockets() {
  static std::once_flag once;
  static int32_t result = 0;
  std::call_once(once, [] {
    WSADATA data;
    result = WSAStartup(MAKEWORD(1, 0), &data);
  });
  return result;
}

SocketHandle open_tcp_socket(int32_t* error) {
  if (const int32_t failed = start_sockets(); failed != 0) {
    *error = failed;
    return kNoSocket;
  }
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket == INVALID_SOCKET) {
    *error = WSAGetLastError();
    return kNoSocket;
  }
  if (!make_non_blocking(socket)) {
    *error = WSAGetLastError();
    closesocket(socket);
    return kNoSocket;
  }
  return static_cast<SocketHandle>(socket);
}

void close_socket(SocketHandle socket) {
  if (socket != kNoSocket) closesocket(raw(socket));
}

void reset_socket(SocketHandle socket) {
  if (socket == kNoSocket) return;
  const linger abort{1, 0};
  setsockopt(raw(socket), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof abort);
  closesocket(raw(socket));
}

int32_t start_connect(SocketHandle socket, uint32_t address, uint16_t port) {
  const sockaddr_in where = ipv4_address(address, port);
  if (connect(raw(socket), reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0) return 0;
  return WSAGetLastError();
}

int32_t wait_socket(SocketHandle socket, Readiness what, int32_t timeout_ms, int32_t* error) {
  fd_set readable, writable, failed;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  if (what != Readiness::Write) FD_SET(raw(socket), &readable);
  if (what != Readiness::Read) FD_SET(raw(socket), &writable);
  // A non-blocking connect that fails is signalled in the exception set.
  FD_SET(raw(socket), &failed);
  timeval wait{};
  if (timeout_ms > 0) {
    wait.tv_sec = timeout_ms / 1000;
    wait.tv_usec = (timeout_ms % 1000) * 1000;
  }
  const int n = select(0, &readable, &writable, &failed, &wait);
  if (n == SOCKET_ERROR) {
    *error = WSAGetLastError();
    return -1;
  }
  return n > 0 ? 1 : 0;
}

int32_t pending_socket_error(SocketHandle socket) {
  int value = 0;
  int size = sizeof value;
  if (getsockopt(raw(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&value), &size) != 0)
    return WSAGetLastError();
  return value;
}

int32_t send_bytes(SocketHandle socket, const void* data, int32_t size) {
  const int n = send(raw(socket), static_cast<const char*>(data), size, 0);
  return n == SOCKET_ERROR ? -WSAGetLastError() : n;
}

int32_t receive_bytes(SocketHandle socket, void* buffer, int32_t size) {
  const int n = recv(raw(socket), static_cast<char*>(buffer), size, 0);
  return n == SOCKET_ERROR ? -WSAGetLastError() : n;
}

bool resolve_ipv4(const std::string& name, uint32_t* address) {
  if (name.empty() || start_sockets() != 0) return false;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
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
  sockaddr_in where = ipv4_address(address, port);
  int size = sizeof where;
  if (bind(raw(socket), reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
      listen(raw(socket), backlog) != 0 || getsockname(raw(socket), reinterpret_cast<sockaddr*>(&where), &size) != 0) {
    *error = WSAGetLastError();
    close_socket(socket);
    return kNoSocket;
  }
  if (bound_port) *bound_port = ntohs(where.sin_port);
  return socket;
}

SocketHandle accept_connection(SocketHandle listener, int32_t* error) {
  const SOCKET socket = accept(raw(listener), nullptr, nullptr);
  if (socket == INVALID_SOCKET) {
    *error = WSAGetLastError();
    return kNoSocket;
  }
  if (!make_non_blocking(socket)) {
    *error = WSAGetLastError();
    closesocket(socket);
    return kNoSocket;
  }
  return static_cast<SocketHandle>(socket);
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
  int size = sizeof where;
  return address_of(getsockname(raw(socket), reinterpret_cast<sockaddr*>(&where), &size), where, address, port);
}

bool socket_peer_address(SocketHandle socket, uint32_t* address, uint16_t* port) {
  sockaddr_in where{};
  int size = sizeof where;
  return address_of(getpeername(raw(socket), reinterpret_cast<sockaddr*>(&where), &size), where, address, port);
}

}  // namespace platform
