#include "updater/tests/end_to_end/dropping_server.h"

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace updater::testing {
namespace {

// The first byte of an open-ended range ("Range: bytes=N-"), 0 when none.
uint32_t range_start(const std::string& request) {
  const size_t at = request.find("Range: bytes=");
  return at == std::string::npos ? 0 : static_cast<uint32_t>(std::strtoul(request.c_str() + at + 13, nullptr, 10));
}

}  // namespace

DroppingServer::DroppingServer(uint32_t total, uint32_t sent) : m_total(total), m_sent(sent) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, 8);
  int length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  m_port = ntohs(address.sin_port);
  m_listener = listener;
  m_thread = std::thread([this] { serve(); });
}

DroppingServer::~DroppingServer() {
  m_stopping = true;
  closesocket(static_cast<SOCKET>(m_listener));
  m_thread.join();
  WSACleanup();
}

std::string DroppingServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void DroppingServer::serve() {
  while (!m_stopping) {
    const SOCKET peer = accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
    if (peer == INVALID_SOCKET) break;
    ++m_connections;
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int n = recv(peer, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    const uint32_t start = range_start(request) < m_total ? range_start(request) : 0;
    char header[256];
    if (start == 0)
      std::snprintf(header, sizeof header, "HTTP/1.1 200 OK\r\nContent-Length: %u\r\nConnection: close\r\n\r\n",
                    m_total);
    else
      std::snprintf(header, sizeof header,
                    "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes %u-%u/%u\r\nContent-Length: %u\r\n"
                    "Connection: close\r\n\r\n",
                    start, m_total - 1, m_total, m_total - start);
    send(peer, header, static_cast<int>(std::strlen(header)), 0);
    const std::string body(m_sent, 'x');
    send(peer, body.data(), static_cast<int>(body.size()), 0);
    shutdown(peer, SD_BOTH);
    closesocket(peer);
  }
}

}  // namespace updater::testing
