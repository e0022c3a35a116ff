#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace units {

// A read position in a byte range that never reads past its end: every read
// checks what remains first, and a read that does not fit fails and leaves
// the position where it was.
class ByteCursor {
 public:
  ByteCursor(const uint8_t* data, size_t size) : m_data(data ? data : &kNothing), m_size(data ? size : 0) {}

  size_t position() const { return m_position; }
  size_t remaining() const { return m_size - m_position; }
  const uint8_t* here() const { return m_data + m_position; }

  bool u32(uint32_t& out) { return number(out); }
  bool i32(int32_t& out) { return number(out); }
  bool u16(uint16_t& out) { return number(out); }

  bool skip(size_t count) {
    if (remaining() < count) return false;
    m_position += count;
    return true;
  }

  // A u32 length, then that many bytes.
  template <class Container>
  bool counted(Container& out) {
    const size_t start = m_position;
    uint32_t length = 0;
    if (!u32(length) || remaining() < length) {
      m_position = start;
      return false;
    }
    out.assign(reinterpret_cast<const typename Container::value_type*>(here()),
               reinterpret_cast<const typename Container::value_type*>(here() + length));
    m_position += length;
    return true;
  }

  // Bytes up to and including a 0 byte, which must lie inside the range.
  bool zero_terminated(std::string& out) {
    const void* end = remaining() ? std::memchr(here(), 0, remaining()) : nullptr;
    if (!end) return false;
    const size_t length = static_cast<const uint8_t*>(end) - here();
    out.assign(reinterpret_cast<const char*>(here()), length);
    m_position += length + 1;
    return true;
  }

 private:
  static constexpr uint8_t kNothing = 0;

  template <class T>
  bool number(T& out) {
    if (remaining() < sizeof out) return false;
    std::memcpy(&out, here(), sizeof out);
    m_position += sizeof out;
    return true;
  }

  const uint8_t* m_data;
  size_t m_size;
  size_t m_position = 0;
};

}  // namespace units
