#include "downlib/ftp/reply_reader.h"

namespace downlib::ftp {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t reply_line_code(std::string_view line) {
  if (line.size() < 4 || !is_digit(line[0]) || !is_digit(line[1]) || !is_digit(line[2]) || line[3] != ' ') return 0;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

size_t ReplyReader::add(std::string_view bytes) {
  size_t taken = 0;
  while (taken < bytes.size() && m_state == State::NeedMore) {
    const char c = bytes[taken++];
    ++m_total;
    if (c == '\n') {
      end_piece(true);
    } else {
      m_piece.push_back(c);
      if (m_piece.size() == kLongestLine) end_piece(false);
    }
    if (m_state == State::NeedMore && m_total >= kLargestReply) m_state = State::TooLong;
  }
  return taken;
}

void ReplyReader::end_piece(bool ended_by_lf) {
  if (ended_by_lf && !m_piece.empty() && m_piece.back() == '\r') m_piece.pop_back();
  const bool starts_line = !m_in_cut_line;
  if (starts_line) {
    const int32_t code = reply_line_code(m_piece);
    if (code != 0) {
      m_code = code;
      m_code_line = m_lines.size();
      m_code_line_open = true;
    }
  }
  m_lines.push_back(std::move(m_piece));
  m_piece.clear();
  m_in_cut_line = !ended_by_lf;
  if (ended_by_lf && m_code_line_open) m_state = State::Complete;
}

const std::string& ReplyReader::code_line() const {
  static const std::string kNone;
  return m_state == State::Complete ? m_lines[m_code_line] : kNone;
}

std::string ReplyReader::text() const {
  std::string out;
  for (const std::string& line : m_lines) out += line + "\r\n";
  return out;
}

void ReplyReader::reset() { *this = ReplyReader(); }

}  // namespace downlib::ftp
