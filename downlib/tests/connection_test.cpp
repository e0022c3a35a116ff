#include "downlib/net/connection.h"

#include <gtest/gtest.h>

#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "downlib/net/socket_result.h"
#include "platform/clock.h"
#include "platform/socket.h"

// The socket layer against a peer of our own on 127.0.0.1: results, error
// numbers and waits are the same in the native build and under Wine.
namespace {

using downlib::net::Connection;
namespace result = downlib::net::result;

constexpr uint32_t kLoopback = 0x7F000001;

// Wine closes a socket gracefully even when it is asked to reset it.
bool resets_reach_the_peer() {
#ifdef _WIN32
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
#else
  return true;
#endif
}

class Peer {
 public:
  Peer() {
    int32_t error = 0;
    m_listener = platform::listen_tcp(kLoopback, 0, 1, &m_port, &error);
  }
  ~Peer() {
    platform::close_socket(m_connection);
    platform::close_socket(m_listener);
  }
  bool listening() const { return m_listener != platform::kNoSocket; }
  uint16_t port() const { return m_port; }
  // Waits for the client's connection.
  bool accept() {
    int32_t error = 0;
    for (int i = 0; i < 200 && m_connection == platform::kNoSocket; ++i) {
      platform::wait_socket(m_listener, platform::Readiness::Read, 10, &error);
      m_connection = platform::accept_connection(m_listener, &error);
    }
    return m_connection != platform::kNoSocket;
  }
  void send(const std::string& bytes) {
    platform::send_bytes(m_connection, bytes.data(), static_cast<int32_t>(bytes.size()));
  }
  std::string receive() {
    char buffer[256];
    int32_t error = 0;
    platform::wait_socket(m_connection, platform::Readiness::Read, 2000, &error);
    const int32_t n = platform::receive_bytes(m_connection, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
  }
  void close() {
    platform::close_socket(m_connection);
    m_connection = platform::kNoSocket;
  }
  void reset() {
    platform::reset_socket(m_connection);
    m_connection = platform::kNoSocket;
  }
  void stop_listening() {
    platform::close_socket(m_listener);
    m_listener = platform::kNoSocket;
  }

 private:
  platform::SocketHandle m_listener = platform::kNoSocket;
  platform::SocketHandle m_connection = platform::kNoSocket;
  uint16_t m_port = 0;
};

TEST(Connection, request_and_answer_in_both_directions) {
  Peer peer;
  ASSERT_TRUE(peer.listening());
  Connection connection;
  ASSERT_EQ(connection.connect(kLoopback, peer.port(), 2000, nullptr), 0);
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(connection.send("GET /", 5, 2000), 5);
  EXPECT_EQ(peer.receive(), "GET /");
  peer.send("abcdef");
  char buffer[16] = {};
  const auto got = connection.receive(buffer, 6, 2000, 0, nullptr);
  EXPECT_EQ(got.status, 0);
  EXPECT_EQ(std::string(buffer, static_cast<size_t>(got.count)), "abcdef");
}

TEST(Connection, receive_ends_with_the_reason_and_what_arrived) {
  struct Case {
    const char* what;
    int32_t expected;
  };
  const Case cases[] = {{"peer closes", result::kPeerClosed},
                        {"peer resets", -10054},
                        {"silence", result::kReceiveTimedOut},
                        {"stop", result::kStopped}};
  for (const Case& c : cases) {
    if (c.expected == -10054 && !resets_reach_the_peer()) continue;
    Peer peer;
    ASSERT_TRUE(peer.listening()) << c.what;
    Connection connection;
    ASSERT_EQ(connection.connect(kLoopback, peer.port(), 2000, nullptr), 0) << c.what;
    ASSERT_TRUE(peer.accept()) << c.what;
    peer.send("xyz");
    std::atomic<bool> stop{false};
    std::thread action([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (c.expected == result::kPeerClosed) peer.close();
      if (c.expected == -10054) peer.reset();
      if (c.expected == result::kStopped) stop.store(true);
    });
    char buffer[64];
    const uint32_t started = platform::tick_count();
    const auto got = connection.receive(buffer, sizeof buffer, 300, 0, &stop);
    const uint32_t spent = platform::tick_count() - started;
    action.join();
    EXPECT_EQ(got.status, c.expected) << c.what;
    EXPECT_EQ(got.count, 3) << c.what << ": the bytes before the end are reported";
    if (c.expected == result::kReceiveTimedOut) {
      EXPECT_GE(spent, 290u) << c.what;
    }
    if (c.expected == result::kStopped) {
      EXPECT_LT(spent, 250u) << c.what << ": stop is seen within steps of 10 ms";
    }
  }
}

TEST(Connection, a_read_count_ends_the_receive_early) {
  Peer peer;
  ASSERT_TRUE(peer.listening());
  Connection connection;
  ASSERT_EQ(connection.connect(kLoopback, peer.port(), 2000, nullptr), 0);
  ASSERT_TRUE(peer.accept());
  peer.send("12");
  char buffer[4096];
  const auto got = connection.receive(buffer, sizeof buffer, 2000, 1, nullptr);
  EXPECT_EQ(got.status, 0);
  EXPECT_EQ(got.count, 2);
}

TEST(Connection, refused_connect_fails_with_wait_error) {
  Peer peer;
  const uint16_t port = peer.port();
  peer.stop_listening();
  Connection connection;
  EXPECT_EQ(connection.connect(kLoopback, port, 2000, nullptr), result::kWaitFailed);
}

TEST(Connection, unconnected_socket_is_not_ready) {
  Connection connection;
  char buffer[4];
  EXPECT_EQ(connection.send("x", 1, 100), result::kNotReady);
  EXPECT_EQ(connection.receive(buffer, 4, 100, 0, nullptr).status, result::kNotReady);
}

}  // namespace
