#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Builds template data by hand, field by field, for the reader's tests.
namespace template_test {

class Bytes {
 public:
  Bytes& u32(uint32_t v);
  Bytes& u16(uint16_t v);
  Bytes& zeros(size_t count) {
    m_data.insert(m_data.end(), count, 0);
    return *this;
  }
  Bytes& raw(const std::vector<uint8_t>& bytes) {
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Bytes& raw(std::string_view bytes) {
    m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    return *this;
  }
  Bytes& zero_text(std::string_view text) {
    raw(text);
    return zeros(1);
  }
  Bytes& counted(const std::vector<uint8_t>& bytes) {
    u32(static_cast<uint32_t>(bytes.size()));
    return raw(bytes);
  }
  Bytes& counted(std::string_view text) {
    u32(static_cast<uint32_t>(text.size()));
    return raw(text);
  }
  const std::vector<uint8_t>& data() const { return m_data; }

 private:
  std::vector<uint8_t> m_data;
};

struct UnitSpec {
  uint32_t id = 0x16010002;
  uint32_t type = 0x0001000B;  // a button
  uint32_t linked = 0;
  std::string name = "button";
  std::string remark;
  int32_t left = 1, top = 2, width = 3, height = 4;
  uint32_t parent = 0;
  std::vector<uint32_t> children;
  std::vector<uint8_t> cursor = {0, 0, 0, 0};
  std::string tag;
  uint32_t flags = 1;
  std::vector<std::pair<int32_t, int32_t>> events;  // (event, stored handler)
  std::vector<uint8_t> properties;
};

struct MenuSpec {
  uint32_t id = 0x26010003;
  std::string name = "menu";
  std::string remark;
  uint32_t shortcut = 0, level = 0, flags = 0;
  std::string caption = "File";
  int32_t handler = -1;
};

std::vector<uint8_t> unit_body(const UnitSpec& unit);
std::vector<uint8_t> menu_body(const MenuSpec& item);

// An entry of a window record: its id and its body. The bodies are laid out
// one after the other unless offsets are given.
struct EntrySpec {
  uint32_t id;
  std::vector<uint8_t> body;
};
std::vector<uint8_t> window_record(const std::vector<EntrySpec>& entries, uint32_t value_a = 0, uint32_t value_b = 0,
                                   std::string_view text1 = "", std::string_view text2 = "");
// The whole stream: the window table, then the records.
std::vector<uint8_t> template_data(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& windows);

}  // namespace template_test
