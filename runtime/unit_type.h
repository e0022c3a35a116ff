#pragma once

#include <cstdint>

#include "runtime/calling_convention.h"

namespace rt {

// One property of a unit type: five words; only the low 16 bits of the type
// word (the data type) mean something to the runtime.
struct UnitProperty {
  const char* name;
  const char* english_name;
  const char* description;
  uint32_t type_word;
  uint32_t reserved;
};

// A type's operations, found by number (1 create, 4 write property, 5 save,
// 6 read property, 7 window data, 8 wants key, 9 enumerate texts, 10 is
// default button). Null when the type does not offer the operation.
using InterfaceLookup = void*(RT_STDCALL*)(int32_t code);

// A unit type of a library: 14 words in the 32-bit build. An unused slot of a
// library's type table is all zeros.
struct UnitType {
  const char* name;                // 1: Chinese
  const char* english_name;        // 2
  const char* text3;               // 3: empty
  int32_t count4;                  // 4: 0
  const void* table5;              // 5: empty
  uint32_t state_flags;            // 6
  uint32_t word7;                  // 7: 0
  int32_t event_count;             // 8: 0, events are known only by number
  const void* event_table;         // 9: empty
  int32_t property_count;          // 10
  const UnitProperty* properties;  // 11
  InterfaceLookup lookup;          // 12
  int32_t count13;                 // 13: 0
  const void* table14;             // 14: empty
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(UnitType) == 14 * 4, "the unit type record is 14 words");
#endif

namespace unit_flag {
inline constexpr uint32_t kAlways = 0x80000000;
inline constexpr uint32_t kWindowUnit = 0x00000040;
inline constexpr uint32_t kEventSource = 0x00000004;
inline constexpr uint32_t kNeverRecreated = 0x00000010;
inline constexpr uint32_t kContainer = 0x00000080;
inline constexpr uint32_t kKeepsPage = 0x00000100;
inline constexpr uint32_t kNeverShown = 0x00008000;
inline constexpr uint32_t kCheckBox = 0x00001000;
inline constexpr uint32_t kRadioButton = 0x00000400;
inline constexpr uint32_t kNotifyParentAfterRecreate = 0x00100000;
inline constexpr uint32_t kReleaseOnDestroy = 0x00080000;
}  // namespace unit_flag

}  // namespace rt
