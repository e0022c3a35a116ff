#pragma once

#include <cstdint>

// Result codes of the engine's socket layer. A send or receive gives a byte
// count (>= 0) or one of these negative codes; a failed socket call gives
// the negated Windows Sockets error number when it is one of the numbers
// listed in socket_result.cpp, and kUnclassified for every other error.
namespace downlib::net {

namespace result {
inline constexpr int32_t kUnclassified = -1;
inline constexpr int32_t kPositionError = -2;
inline constexpr int32_t kSocketState = -3;
inline constexpr int32_t kNullPointer = -4;
inline constexpr int32_t kWaitFailed = -5;    // poll failed, or the connect was refused
inline constexpr int32_t kWaitTimedOut = -6;  // the socket would not take the request
inline constexpr int32_t kSendFailed = -7;
inline constexpr int32_t kReceiveFailed = -8;
inline constexpr int32_t kNotReady = -9;
inline constexpr int32_t kReceiveTimedOut = -10;  // ReceiveTimeout ms without a byte
inline constexpr int32_t kConnectTimedOut = -11;
inline constexpr int32_t kStopped = -20;  // the worker was asked to stop
inline constexpr int32_t kStreamFailed = -21;
inline constexpr int32_t kPeerClosed = -22;
}  // namespace result

// A Windows Sockets error as the layer reports it: negated when listed, else kUnclassified.
int32_t from_socket_error(int32_t winsock_error);

// The text shown (level 3) for a result code; "未知错误" for codes without one.
const char* socket_error_text(int32_t code);

// What a worker does after a failed receive. The decision belongs to the
// error, so every caller takes the same one.
enum class AfterReceiveError {
  EndNormally,  // the peer closed: what arrived is kept, the worker ends
  ReadAgain,    // unclassified: flush and read again (within a bound)
  Stop,         // the worker was asked to stop
  Retry,        // anything else: reconnect after the retry wait
};
AfterReceiveError after_receive_error(int32_t code);

}  // namespace downlib::net
