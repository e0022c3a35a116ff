#include "units/types/unit_type_builder.h"

#include <cstring>

#include "units/property_types.h"

namespace units {

void* global_block(const std::vector<uint8_t>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
  if (!block) return nullptr;
  if (void* p = GlobalLock(block)) {
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  return block;
}

void enumerate_texts_of(UnitControl& control, TextCallback callback, intptr_t user) {
  PropertyStore& values = control.properties();
  for (size_t i = 0; i < values.size(); ++i) {
    const int index = static_cast<int>(i);
    const DataClass kind = data_class(control.data_type(index));
    if (kind == DataClass::Text) {
      callback(values.data(index).c_str(), user);
    } else if (kind == DataClass::Font && values.data(index).size() == sizeof(LOGFONTA)) {
      LOGFONTA font;
      std::memcpy(&font, values.data(index).data(), sizeof font);
      font.lfFaceName[LF_FACESIZE - 1] = '\0';
      callback(font.lfFaceName, user);
    }
  }
  for (const std::string& page : values.pages()) callback(page.c_str(), user);
}

}  // namespace units
