#include <winsock2.h>

// The library's mail facility talks through Windows Sockets 1.1, started when
// the library loads and shut down when the process ends. A failed start is
// not reported: only mail would need it.
namespace web {
namespace {

struct WinsockSession {
  WinsockSession() {
    WSADATA data;
    m_started = WSAStartup(MAKEWORD(1, 1), &data) == 0;
  }
  ~WinsockSession() {
    if (m_started) WSACleanup();
  }
  bool m_started = false;
};

WinsockSession g_winsock;

}  // namespace
}  // namespace web
