#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The scripted HTTP peer that the CTest fixture of cmake/scripted_server.cmake
// starts for this build tree (platform/testing/scripted_server/): where it
// listens, and its control interface. Windows builds running under Wine reach
// its folder through the Z: drive.
namespace test_support {

// What one exchange with a server on 127.0.0.1 brought back.
struct LoopbackReply {
  std::string data;     // everything received until the peer closed
  std::string problem;  // empty when the exchange worked
  bool ok() const { return problem.empty(); }
};

// Connects to 127.0.0.1:port, sends `request` and reads until the peer closes
// or `timeout_ms` pass without data.
LoopbackReply loopback_exchange(uint16_t port, std::string_view request, int timeout_ms = 10000);

struct ControlAnswer {
  int status = 0;       // the HTTP status, 0 when there was no answer
  std::string body;     // the answer's body (an error's text for other statuses)
  std::string problem;  // why there is no usable answer; empty for status 200
  bool ok() const { return problem.empty(); }
};

struct ScriptedServer {
  uint16_t port = 0;      // 0 when no server runs
  std::string directory;  // the server's folder, as this program opens files
  std::string problem;    // why no server was found

  bool running() const { return port != 0; }
  // "http://127.0.0.1:PORT" + path.
  std::string url(std::string_view path) const;
  // GET /control/<command>: "reset/<name>" answers the scenario's plan and
  // forgets its connections; "requests/<name>" the requests received since.
  ControlAnswer control(std::string_view command) const;
};

// The server of this build tree; check running() (and report problem).
ScriptedServer find_scripted_server();

}  // namespace test_support
