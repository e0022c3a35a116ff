#pragma once

#include <cstdint>

#include "runtime/arg_value.h"
#include "runtime/calling_convention.h"

namespace rt {

struct UnitType;

// A library command: fills the zeroed result from `count` contiguous arguments.
using CommandFunction = void (*)(ArgValue* result, int32_t count, ArgValue* args);

// Runtime -> library: code 1 at start, 6 at the end, 8 for a type's interface id.
using NotifyEntry = int32_t(RT_STDCALL*)(int32_t code, intptr_t value1, intptr_t value2);

// Library -> runtime: services by code; the low word is the usual result.
using SystemFunction = int64_t(RT_STDCALL*)(int32_t code, intptr_t value1, intptr_t value2);

inline constexpr uint32_t kLibraryFormatVersion = 0x01312D65;

// The record that describes one support library: 36 words in the 32-bit build.
struct SupportLibrary {
  uint32_t format_version;              // 1: always kLibraryFormatVersion
  const char* identifier;               // 2: 32 hexadecimal digits
  int32_t major_version;                // 3
  int32_t minor_version;                // 4
  int32_t build_number;                 // 5
  int32_t first_required_major;         // 6
  int32_t first_required_minor;         // 7
  int32_t second_required_major;        // 8
  int32_t second_required_minor;        // 9
  const char* name;                     // 10: GBK
  int32_t kind_word;                    // 11: 1
  const char* text12;                   // 12: empty
  uint32_t flags;                       // 13
  const char* texts[8];                 // 14-21: empty
  int32_t unit_type_count;              // 22
  const UnitType* unit_types;           // 23: index = type number
  int32_t count24;                      // 24: 0
  const void* table25;                  // 25: empty
  int32_t command_count;                // 26
  const void* table27;                  // 27: empty
  const CommandFunction* commands;      // 28: index = command number
  uint32_t reserved29[2];               // 29-30
  NotifyEntry notify;                   // 31
  uint32_t reserved32[5];               // 32-36
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SupportLibrary) == 144, "the library record is 36 words");
#endif

// The notify codes the runtime sends.
inline constexpr int32_t kNotifyStart = 1;
inline constexpr int32_t kNotifyEnd = 6;
inline constexpr int32_t kNotifyInterfaceId = 8;
inline constexpr int32_t kNotifyUnhandled = -1;

}  // namespace rt
