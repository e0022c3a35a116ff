#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The fields of a unit's property block: u32, u16, counted bytes and counted
// text (a u32 length, then the bytes). The reader never reads past the block:
// a field that does not fit sets it failed and reads as zero or empty.
namespace units {

class PropertyBlockReader {
 public:
  PropertyBlockReader(const uint8_t* data, uint32_t size) : m_data(data), m_size(data ? size : 0) {}

  uint32_t u32() { return take_number<uint32_t>(); }
  uint16_t u16() { return take_number<uint16_t>(); }
  // Counted bytes and counted text have the same form.
  std::string bytes() { return counted(); }
  std::string text() { return counted(); }

  bool ok() const { return m_ok; }
  uint32_t remaining() const { return m_size - m_offset; }

 private:
  template <class T>
  T take_number() {
    T v = 0;
    if (!m_ok || remaining() < sizeof v) {
      m_ok = false;
      return 0;
    }
    std::memcpy(&v, m_data + m_offset, sizeof v);
    m_offset += sizeof v;
    return v;
  }
  std::string counted() {
    const uint32_t n = u32();
    if (!m_ok || remaining() < n) {
      m_ok = false;
      return {};
    }
    std::string s(reinterpret_cast<const char*>(m_data + m_offset), n);
    m_offset += n;
    return s;
  }

  const uint8_t* m_data;
  uint32_t m_size;
  uint32_t m_offset = 0;
  bool m_ok = true;
};

class PropertyBlockWriter {
 public:
  void u32(uint32_t v) { put(&v, sizeof v); }
  void u16(uint16_t v) { put(&v, sizeof v); }
  void bytes(std::string_view data) {
    u32(static_cast<uint32_t>(data.size()));
    put(data.data(), data.size());
  }
  void text(std::string_view data) { bytes(data); }
  std::vector<uint8_t> take() { return std::move(m_out); }

 private:
  void put(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    m_out.insert(m_out.end(), b, b + n);
  }
  std::vector<uint8_t> m_out;
};

}  // namespace units
