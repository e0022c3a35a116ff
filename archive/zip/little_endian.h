#pragma once

#include <cstddef>
#include <cstdint>

namespace archive::zip {

// Fields of a record read in the archive's byte order. The caller has read
// the whole fixed part of the record before it takes fields from it.
class FieldReader {
 public:
  explicit FieldReader(const uint8_t* bytes) : m_bytes(bytes) {}

  uint16_t u16() {
    const uint16_t value = static_cast<uint16_t>(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
    m_at += 2;
    return value;
  }
  uint32_t u32() {
    const uint32_t low = u16();
    return low | (uint32_t{u16()} << 16);
  }

 private:
  const uint8_t* m_bytes;
  size_t m_at = 0;
};

inline uint16_t u16_at(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }
inline uint32_t u32_at(const uint8_t* bytes) { return u16_at(bytes) | (uint32_t{u16_at(bytes + 2)} << 16); }

}  // namespace archive::zip
