// libFuzzer entry point for the template reader: any bytes must give either a
// registry or a read error, never a crash or a read outside the input. A read
// registry is walked the way the loader walks it: every entry looked up by id
// and every property block read field by field to its end.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "units/template/property_block.h"
#include "units/template/template_registry.h"

namespace {

void walk_property_block(const std::vector<uint8_t>& block) {
  units::PropertyBlockReader reader(block.data(), static_cast<uint32_t>(block.size()));
  // A mix of the field forms that the unit types read.
  for (int round = 0; reader.ok() && reader.remaining() > 0 && round < 64; ++round) {
    reader.u32();
    reader.u16();
    reader.bytes();
    reader.text();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > UINT32_MAX) return 0;
  units::TemplateReadError error{};
  auto registry = units::TemplateRegistry::read(data, static_cast<uint32_t>(size), 0x10000, &error);
  if (!registry) {
    if (error.offset > size || error.what.empty()) __builtin_trap();
    return 0;
  }
  for (auto& window : registry->windows()) {
    if (registry->find(window->id) == nullptr || window->entries.empty()) __builtin_trap();
    for (const units::UnitEntry& entry : window->entries) {
      if (units::TemplateRegistry::find_entry(*window, entry.id) == nullptr) __builtin_trap();
      walk_property_block(entry.properties);
    }
  }
  return 0;
}
