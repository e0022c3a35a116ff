#include "downlib/http/header_reader.h"

#include <algorithm>

namespace downlib::http {
namespace {

constexpr std::string_view kStarts[] = {"HTTP/1.1", "HTTP/1.0"};
constexpr std::string_view kEnd = "\r\n\r\n";

}  // namespace

HeaderReader::State HeaderReader::add(const char* data, size_t size) {
  if (m_state != State::NeedMore) return m_state;
  m_buffer.append(data, size);

  if (!m_started) {
    size_t start = std::string::npos;
    for (std::string_view text : kStarts) start = std::min(start, m_buffer.find(text));
    if (start == std::string::npos) {
      // A start text may still be forming at the end of what we have.
      const size_t keep = kStarts[0].size() - 1;
      if (m_buffer.size() > keep) m_buffer.erase(0, m_buffer.size() - keep);
      return m_state;
    }
    m_buffer.erase(0, start);
    m_started = true;
  }

  const size_t end = m_buffer.find(kEnd);
  if (end == std::string::npos) {
    // Any empty line still to come would end past the limit.
    if (m_buffer.size() >= kLargestHeader) m_state = State::TooLong;
    return m_state;
  }
  m_header_size = end + kEnd.size();
  m_state = m_header_size > kLargestHeader ? State::TooLong : State::Complete;
  return m_state;
}

}  // namespace downlib::http
