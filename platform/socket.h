#pragma once

#include <cstdint>
#include <string>

// TCP over IPv4 for the download engine: Winsock on Windows, BSD sockets
// natively. Every error is a Windows Sockets error number in both builds
// (natively errno is translated), so the engine's result codes and the texts
// it shows for them are the same everywhere. Sockets stay non-blocking for
// their whole life; waiting is done with wait_socket.
namespace platform {

using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;

// The Windows Sockets error numbers this layer reports.
namespace socket_error {
inline constexpr int32_t kInterrupted = 10004;
inline constexpr int32_t kBadAddress = 10014;
inline constexpr int32_t kInvalidArgument = 10022;
inline constexpr int32_t kWouldBlock = 10035;
inline constexpr int32_t kInProgress = 10036;
inline constexpr int32_t kAlready = 10037;
inline constexpr int32_t kNotSocket = 10038;
inline constexpr int32_t kMessageSize = 10040;
inline constexpr int32_t kNotSupported = 10045;
inline constexpr int32_t kAddressInUse = 10048;
inline constexpr int32_t kNetworkDown = 10050;
inline constexpr int32_t kNetworkUnreachable = 10051;
inline constexpr int32_t kNetworkReset = 10052;
inline constexpr int32_t kConnectionAborted = 10053;
inline constexpr int32_t kConnectionReset = 10054;
inline constexpr int32_t kNoBuffers = 10055;
inline constexpr int32_t kAlreadyConnected = 10056;
inline constexpr int32_t kNotConnected = 10057;
inline constexpr int32_t kShutDown = 10058;
inline constexpr int32_t kTimedOut = 10060;
inline constexpr int32_t kConnectionRefused = 10061;
inline constexpr int32_t kHostUnreachable = 10065;
inline constexpr int32_t kNotInitialised = 10093;
// Anything the native side has no Winsock number for.
inline constexpr int32_t kOther = 10000;
}  // namespace socket_error

// Starts the sockets library once per process, asking for version 1.0 as the
// engine always has; later calls give the first call's answer, so it may be
// called before each socket. 0, or the error that keeps sockets from working.
int32_t start_sockets();

// A new non-blocking TCP socket, or kNoSocket with *error set.
SocketHandle open_tcp_socket(int32_t* error);
void close_socket(SocketHandle socket);
// Closes at once with a reset instead of an orderly close (the peer's next
// receive fails with kConnectionReset).
void reset_socket(SocketHandle socket);

// Starts connecting to an IPv4 address given in host byte order. 0 when the
// connection is made at once; kWouldBlock, kInProgress or kAlready while it
// is under way (wait for writability, then read pending_socket_error); any
// other value is the error that refused it.
int32_t start_connect(SocketHandle socket, uint32_t address, uint16_t port);

enum class Readiness { Read, Write, ReadOrWrite };

// Waits up to timeout_ms (0 only looks) for the socket to become ready.
// 1 ready, 0 timed out, -1 failed with *error set.
int32_t wait_socket(SocketHandle socket, Readiness what, int32_t timeout_ms, int32_t* error);

// The error the socket holds, cleared by reading it; 0 when none.
int32_t pending_socket_error(SocketHandle socket);

// One send: the byte count sent (may be fewer than asked), or -error.
// -kWouldBlock when the socket cannot take anything now.
int32_t send_bytes(SocketHandle socket, const void* data, int32_t size);

// One receive: the byte count (> 0), 0 when the peer has closed its side,
// or -error; -kWouldBlock when nothing is waiting.
int32_t receive_bytes(SocketHandle socket, void* buffer, int32_t size);

// The first IPv4 address of a host name, in host byte order. False when the
// name has none (or cannot be resolved at all).
bool resolve_ipv4(const std::string& name, uint32_t* address);

// Dotted text of an address in host byte order ("127.0.0.1").
std::string dotted_ipv4(uint32_t address);

// A socket listening on address:port (port 0 picks a free one); the port it
// got goes to *bound_port. For peers that call back, and for tests.
SocketHandle listen_tcp(uint32_t address, uint16_t port, int32_t backlog, uint16_t* bound_port, int32_t* error);
// A connection waiting on a listening socket (non-blocking), or kNoSocket
// with *error set (kWouldBlock when none waits).
SocketHandle accept_connection(SocketHandle listener, int32_t* error);

// The address and port (host byte order) a socket is bound to on this side,
// or those of its peer. False when the socket has none (or is no IPv4 socket).
bool socket_local_address(SocketHandle socket, uint32_t* address, uint16_t* port);
bool socket_peer_address(SocketHandle socket, uint32_t* address, uint16_t* port);

}  // namespace platform
