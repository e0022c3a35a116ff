#pragma once

#include <cstdint>

#include "runtime/support_library.h"

namespace rt {

// The read-only record that describes a compiled program to the runtime.
struct ProgramHeader {
  uint32_t build_mode;                       // 1: answered by system function 2030
  uint32_t reserved;                         // 2
  uint32_t build_stamp;                      // 3: stored plus one
  uintptr_t code_base;                       // 4: base of event-handler offsets
  const uint8_t* constant_data;              // 5
  uint32_t constant_size;                    // 6: 0 = no constant area
  const uint8_t* template_data;              // 7
  uint32_t template_size;                    // 8
  uint32_t library_count;                    // 9
  const SupportLibrary* const* libraries;    // 10: index = library number; null entries allowed
  uint32_t dll_command_count;                // 11
  const char* const* dll_file_names;         // 12: may be empty texts
  const char* const* dll_function_names;     // 13: "#n" is an ordinal
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(ProgramHeader) == 13 * 4, "the program header is 13 words");
#endif

}  // namespace rt
