#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Collects a response header from the pieces a socket gives. The header
// starts at the first "HTTP/1.1" or "HTTP/1.0" (anything before it is
// dropped) and ends with the first empty line after that. Whatever follows
// the empty line is body that came with the header; it is handed on, never
// dropped or read twice.
//
// A header of more than 4097 bytes, counting its final empty line, is
// refused: that is what the engine's header area holds. Without a start
// text the reader keeps only the last few bytes, so a peer that never sends
// one costs no memory, only the time until the receive gives up.
namespace downlib::http {

class HeaderReader {
 public:
  static constexpr size_t kLargestHeader = 4097;
  // Bytes asked for in one receive of the header.
  static constexpr size_t kReadSize = 4096;

  enum class State { NeedMore, Complete, TooLong };

  State add(const char* data, size_t size);
  State state() const { return m_state; }

  // Valid once Complete: the header with its final CR LF CR LF, and the
  // bytes after it.
  std::string_view header() const { return std::string_view(m_buffer).substr(0, m_header_size); }
  std::string_view early_body() const { return std::string_view(m_buffer).substr(m_header_size); }

 private:
  std::string m_buffer;
  bool m_started = false;
  size_t m_header_size = 0;
  State m_state = State::NeedMore;
};

}  // namespace downlib::http
