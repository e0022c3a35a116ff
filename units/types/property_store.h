#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A unit's own properties (numbers 8 and up, kept by own index = number - 8)
// and the layout of the property block that stores them in a template.
namespace units {

enum class FieldForm : uint8_t { U32, U16, Bytes, Text, PageCaptions };

struct BlockField {
  FieldForm form;
  int16_t property;  // property number (8 and up)
  uint8_t since_version;
};

struct BlockLayout {
  uint32_t highest_version;
  const BlockField* fields;
  size_t count;
};

class PropertyStore {
 public:
  explicit PropertyStore(size_t own_count = 0) : m_numbers(own_count, 0), m_data(own_count) {}

  uint32_t number(int index) const { return valid(index) ? m_numbers[index] : 0; }
  int32_t integer(int index) const { return static_cast<int32_t>(number(index)); }
  void set_number(int index, uint32_t value) {
    if (valid(index)) m_numbers[index] = value;
  }
  const std::string& data(int index) const { return valid(index) ? m_data[index] : m_empty; }
  void set_data(int index, std::string value) {
    if (valid(index)) m_data[index] = std::move(value);
  }
  std::vector<std::string>& pages() { return m_pages; }
  const std::vector<std::string>& pages() const { return m_pages; }
  size_t size() const { return m_numbers.size(); }

  // Reads a property block. An empty block keeps every value; a version above
  // the layout's highest, or a block shorter than its fields, is refused.
  bool load(const BlockLayout& layout, const uint8_t* block, uint32_t size);
  // The current values as a block of the layout's highest version.
  std::vector<uint8_t> save(const BlockLayout& layout) const;

 private:
  bool valid(int index) const { return index >= 0 && static_cast<size_t>(index) < m_numbers.size(); }

  std::vector<uint32_t> m_numbers;
  std::vector<std::string> m_data;
  std::vector<std::string> m_pages;
  std::string m_empty;
};

}  // namespace units
