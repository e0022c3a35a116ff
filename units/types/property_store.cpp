#include "units/types/property_store.h"

#include "units/template/property_block.h"

namespace units {

bool PropertyStore::load(const BlockLayout& layout, const uint8_t* block, uint32_t size) {
  if (size == 0) return true;
  PropertyBlockReader reader(block, size);
  const uint32_t version = reader.u32();
  if (!reader.ok() || version > layout.highest_version) return false;
  for (size_t i = 0; i < layout.count; ++i) {
    const BlockField& field = layout.fields[i];
    if (field.since_version > version) continue;
    const int index = field.property - 8;
    switch (field.form) {
      case FieldForm::U32: set_number(index, reader.u32()); break;
      case FieldForm::U16: set_number(index, reader.u16()); break;
      case FieldForm::Bytes: set_data(index, reader.bytes()); break;
      case FieldForm::Text: set_data(index, reader.text()); break;
      case FieldForm::PageCaptions: {
        const uint16_t count = reader.u16();
        m_pages.clear();
        for (uint16_t p = 0; p < count && reader.ok(); ++p) m_pages.push_back(reader.text());
        break;
      }
    }
    if (!reader.ok()) return false;
  }
  return true;
}

std::vector<uint8_t> PropertyStore::save(const BlockLayout& layout) const {
  PropertyBlockWriter writer;
  writer.u32(layout.highest_version);
  for (size_t i = 0; i < layout.count; ++i) {
    const BlockField& field = layout.fields[i];
    const int index = field.property - 8;
    switch (field.form) {
      case FieldForm::U32: writer.u32(number(index)); break;
      case FieldForm::U16: writer.u16(static_cast<uint16_t>(number(index))); break;
      case FieldForm::Bytes: writer.bytes(data(index)); break;
      case FieldForm::Text: writer.text(data(index)); break;
      case FieldForm::PageCaptions:
        writer.u16(static_cast<uint16_t>(m_pages.size()));
        for (const auto& page : m_pages) writer.text(page);
        break;
    }
  }
  return writer.take();
}

}  // namespace units
