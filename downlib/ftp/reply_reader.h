#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reads one FTP control reply from the bytes of the control connection.
//
// A reply is a run of lines, each ending in LF (a CR before it is dropped).
// A line that starts with three digits and a space gives the reply's code
// and is its last line; every other line is a continuation line and is
// skipped. A line longer than 5120 bytes is cut into pieces of 5120 bytes:
// the first piece counts as the line, the pieces after it complete it until
// one ends in LF. A reply that grows past 64 KiB without its last line (a
// line that never ends, or endless continuation lines) is not read further.
namespace downlib::ftp {

class ReplyReader {
 public:
  static constexpr size_t kLongestLine = 5120;
  static constexpr size_t kLargestReply = 64 * 1024;

  enum class State { NeedMore, Complete, TooLong };

  // Takes bytes until the reply is complete (or too long) and answers how
  // many it took: the bytes after the reply's last line belong to the next
  // reply and are left to the caller.
  size_t add(std::string_view bytes);

  State state() const { return m_state; }
  // The reply's code (100-999); 0 until the reply is complete.
  int32_t code() const { return m_state == State::Complete ? m_code : 0; }
  // Every line and piece read so far, without its CR LF, in order.
  const std::vector<std::string>& lines() const { return m_lines; }
  // The line that gave the code (its first piece).
  const std::string& code_line() const;
  // All lines, each followed by CR LF: the reply's whole text.
  std::string text() const;

  // Ready for the next reply.
  void reset();

 private:
  void end_piece(bool ended_by_lf);

  State m_state = State::NeedMore;
  int32_t m_code = 0;
  size_t m_code_line = 0;
  std::vector<std::string> m_lines;
  std::string m_piece;            // the piece being read
  bool m_in_cut_line = false;     // the pieces now read complete a cut line
  bool m_code_line_open = false;  // the line being read gave the code: its end ends the reply
  size_t m_total = 0;
};

// The code of a line that starts with three digits and a space; 0 for any
// other line.
int32_t reply_line_code(std::string_view line);

}  // namespace downlib::ftp
