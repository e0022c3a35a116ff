#include "runtime/unit_type_lookup.h"

namespace rt {

const UnitType* find_unit_type(const std::vector<const SupportLibrary*>& libraries, TypeTag type) {
  if (classify(type) != TagClass::Library) return nullptr;
  const uint32_t library = library_of(type);
  const uint32_t number = type_of(type);
  if (library >= libraries.size() || !libraries[library]) return nullptr;
  const SupportLibrary& record = *libraries[library];
  if (number >= static_cast<uint32_t>(record.unit_type_count) || !record.unit_types) return nullptr;
  const UnitType& unit_type = record.unit_types[number];
  if (!unit_type.name && !unit_type.lookup) return nullptr;
  return &unit_type;
}

}  // namespace rt
