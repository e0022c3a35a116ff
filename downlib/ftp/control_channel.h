#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "downlib/engine/protocol.h"
#include "downlib/ftp/reply_reader.h"
#include "downlib/net/connection.h"

// A worker's FTP control connection: commands out, replies in. Every
// command is reported (level 1, unless said otherwise) before it is sent,
// every reply line at level 2 as it is read. Bytes that arrive after a
// reply's last line are kept for the next reply.
namespace downlib::ftp {

struct Reply {
  int32_t code = 0;       // 0 when no reply could be read
  std::string code_line;  // the line that gave the code
  std::string text;       // every line, each followed by CR LF
};

class ControlChannel {
 public:
  net::Connection& connection() { return m_connection; }
  const net::Connection& connection() const { return m_connection; }

  // Sends `command` and CR LF, waiting up to timeout_ms for the socket to
  // take it; `shown` is what the report says instead (a password stays
  // hidden). False when it could not be sent.
  bool send(engine::StepContext& context, const std::string& command, int32_t timeout_ms, int32_t level,
            const char* shown = nullptr);

  // Reads the next reply; timeout_ms of silence, a closed connection, a stop
  // or a reply past 64 KiB report "获得返回命令失败" and give code 0.
  Reply read_reply(engine::StepContext& context, int32_t timeout_ms);

  // Sends a command (level 1) and reads its reply; a command that cannot be
  // sent has no reply (code 0).
  Reply exchange(engine::StepContext& context, const std::string& command, int32_t timeout_ms,
                 const char* shown = nullptr);

  // What the server says last, after a transfer: up to 256 bytes, the ones
  // already here first, else one read of up to timeout_ms. Empty when
  // nothing came.
  std::string take_last_words(engine::StepContext& context, int32_t timeout_ms);

  void close();

 private:
  net::Connection m_connection;
  std::string m_unread;  // bytes after the last reply read
};

}  // namespace downlib::ftp
