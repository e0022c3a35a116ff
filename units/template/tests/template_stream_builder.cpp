#include "units/template/tests/template_stream_builder.h"

namespace template_test {

Bytes& Bytes::u32(uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) m_data.push_back(static_cast<uint8_t>(v >> shift));
  return *this;
}

Bytes& Bytes::u16(uint16_t v) {
  m_data.push_back(static_cast<uint8_t>(v));
  m_data.push_back(static_cast<uint8_t>(v >> 8));
  return *this;
}

std::vector<uint8_t> unit_body(const UnitSpec& unit) {
  Bytes b;
  b.u32(unit.type).u32(unit.linked).zeros(16).zero_text(unit.name).zero_text(unit.remark).u32(0);
  b.u32(unit.left).u32(unit.top).u32(unit.width).u32(unit.height).u32(0).u32(unit.parent);
  b.u32(static_cast<uint32_t>(unit.children.size()));
  for (uint32_t child : unit.children) b.u32(child);
  b.counted(unit.cursor).zero_text(unit.tag).u32(0).u32(unit.flags).u32(0);
  b.u32(static_cast<uint32_t>(unit.events.size()));
  for (const auto& [event, handler] : unit.events) b.u32(event).u32(handler);
  b.zeros(20).raw(unit.properties);
  return b.data();
}

std::vector<uint8_t> menu_body(const MenuSpec& item) {
  Bytes b;
  b.u32(0x00010003).u32(0).zeros(16).zero_text(item.name).zero_text(item.remark);
  b.u32(item.shortcut).u32(item.level).u32(item.flags).zero_text(item.caption).u32(item.handler).zeros(16);
  return b.data();
}

std::vector<uint8_t> window_record(const std::vector<EntrySpec>& entries, uint32_t value_a, uint32_t value_b,
                                   std::string_view text1, std::string_view text2) {
  Bytes table;
  for (const EntrySpec& e : entries) table.u32(e.id);
  uint32_t offset = 0;
  for (const EntrySpec& e : entries) {
    table.u32(offset);
    offset += 4 + static_cast<uint32_t>(e.body.size());
  }
  for (const EntrySpec& e : entries) table.counted(e.body);
  Bytes record;
  record.u32(value_a).u32(value_b).counted(text1).counted(text2).u32(static_cast<uint32_t>(entries.size()));
  record.counted(table.data());
  return record.data();
}

std::vector<uint8_t> template_data(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& windows) {
  Bytes b;
  b.u32(static_cast<uint32_t>(windows.size() * 8));
  for (const auto& window : windows) b.u32(window.first);
  b.zeros(windows.size() * 4);
  for (const auto& window : windows) b.raw(window.second);
  return b.data();
}

}  // namespace template_test
