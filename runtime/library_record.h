#pragma once

#include <atomic>

#include "runtime/support_library.h"

namespace rt {

// What distinguishes one library's record from another's; the rest of the
// 36 words is fixed.
struct LibraryDescription {
  const char* identifier;
  const char* name;
  int32_t major, minor, build;
  int32_t first_required_major, first_required_minor;
  int32_t second_required_major, second_required_minor;
  uint32_t flags;
  int32_t unit_type_count;
  const UnitType* unit_types;
  int32_t command_count;
  const CommandFunction* commands;
  NotifyEntry notify;
};

constexpr SupportLibrary library_record(const LibraryDescription& d) {
  return SupportLibrary{
      kLibraryFormatVersion, d.identifier, d.major, d.minor, d.build,
      d.first_required_major, d.first_required_minor, d.second_required_major, d.second_required_minor,
      d.name, 1, "", d.flags, {"", "", "", "", "", "", "", ""},
      d.unit_type_count, d.unit_types, 0, nullptr, d.command_count, nullptr, d.commands,
      {0, 0}, d.notify, {0, 0, 0, 0, 0}};
}

// A library's link back to the runtime: the system function it was given at
// start (notify code 1), and the services it reaches through it.
class RuntimeLink {
 public:
  void store(intptr_t system_function) { m_function = reinterpret_cast<SystemFunction>(system_function); }
  bool linked() const { return m_function.load() != nullptr; }
  int64_t call(int32_t code, intptr_t value1 = 0, intptr_t value2 = 0) const;
  void* allocate(uint32_t size) const;
  void release(void* block) const;

 private:
  std::atomic<SystemFunction> m_function{nullptr};
};

}  // namespace rt
