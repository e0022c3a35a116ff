#include "platform/testing/scripted_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/testing/server_folder.h"

namespace test_support {
namespace {
#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
void close_socket(Socket s) { closesocket(s); }
int wait_readable(Socket s, int timeout_ms) {
  WSAPOLLFD entry{s, POLLRDNORM, 0};
  return WSAPoll(&entry, 1, timeout_ms);
}
int last_error() { return WSAGetLastError(); }

// Winsock is started once for the process and left running.
bool start_sockets() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
void close_socket(Socket s) { close(s); }
int wait_readable(Socket s, int timeout_ms) {
  pollfd entry{s, POLLIN, 0};
  return poll(&entry, 1, timeout_ms);
}
int last_error() { return errno; }
bool start_sockets() { return true; }
#endif

}  // namespace

LoopbackReply loopback_exchange(uint16_t port, std::string_view request, int timeout_ms) {
  LoopbackReply reply;
  if (!start_sockets()) {
    reply.problem = "the sockets library did not start";
    return reply;
  }
  const Socket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == kNoSocket) {
    reply.problem = "no socket: error " + std::to_string(last_error());
    return reply;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    reply.problem = "cannot connect to 127.0.0.1:" + std::to_string(port) + ": error " + std::to_string(last_error());
    close_socket(s);
    return reply;
  }
  size_t sent = 0;
  while (sent < request.size()) {
    const int n = send(s, request.data() + sent, static_cast<int>(request.size() - sent), 0);
    if (n <= 0) {
      reply.problem = "send failed: error " + std::to_string(last_error());
      close_socket(s);
      return reply;
    }
    sent += static_cast<size_t>(n);
  }
  char buffer[16384];
  for (;;) {
    const int ready = wait_readable(s, timeout_ms);
    if (ready <= 0) {
      reply.problem = ready == 0 ? "no answer within " + std::to_string(timeout_ms) + " ms"
                                 : "poll failed: error " + std::to_string(last_error());
      break;
    }
    const int n = recv(s, buffer, sizeof buffer, 0);
    if (n == 0) break;
    if (n < 0) {
      reply.problem = "receive failed: error " + std::to_string(last_error());
      break;
    }
    reply.data.append(buffer, static_cast<size_t>(n));
  }
  close_socket(s);
  return reply;
}

std::string ScriptedServer::url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port) + std::string(path);
}

ControlAnswer ScriptedServer::control(std::string_view command) const {
  ControlAnswer answer;
  const std::string request = "GET /control/" + std::string(command) + " HTTP/1.0\r\n\r\n";
  const LoopbackReply reply = loopback_exchange(port, request);
  if (!reply.ok()) {
    answer.problem = "control " + std::string(command) + ": " + reply.problem;
    return answer;
  }
  const size_t end = reply.data.find("\r\n\r\n");
  if (reply.data.compare(0, 9, "HTTP/1.0 ") != 0 || end == std::string::npos) {
    answer.problem = "control " + std::string(command) + ": not an HTTP answer";
    return answer;
  }
  answer.status = std::atoi(reply.data.c_str() + 9);
  answer.body = reply.data.substr(end + 4);
  if (answer.status != 200)
    answer.problem =
        "control " + std::string(command) + ": status " + std::to_string(answer.status) + ": " + answer.body;
  return answer;
}

ScriptedServer find_scripted_server() {
  ScriptedServer server;
  server.directory = server_folder(UPDATER_SCRIPTED_SERVER_DIR);
  const std::string port_file = server.directory + kPathSeparator + "port";
  const uint16_t port = read_port_file(port_file);
  if (port == 0) {
    server.problem = "no scripted test server: " + port_file +
                     " is missing; run the tests through ctest, or platform/testing/scripted_server/"
                     "scripted_server.py start " UPDATER_SCRIPTED_SERVER_DIR " --scenarios <folder>";
    return server;
  }
  server.port = port;
  return server;
}

}  // namespace test_support
