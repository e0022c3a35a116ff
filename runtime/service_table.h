#pragma once

#include <cstdint>

#include "runtime/arg_value.h"
#include "runtime/support_library.h"

namespace rt {

// The table through which the compiled program reaches the runtime.
struct RuntimeServiceTable {
  [[noreturn]] void (*report_error_by_code)(int32_t code, int32_t info1, int32_t info2);             /* 0 */
  uint64_t (*call_dll_command)(uint32_t index, const uintptr_t* args, uint32_t count);              /* 1 */
  ArgValue (*call_command)(CommandFunction command, int32_t count, ArgValue* args);                  /* 2 */
  ArgValue (*call_command_too)(CommandFunction command, int32_t count, ArgValue* args);              /* 3 */
  uint64_t (*read_property)(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element);  /* 4 */
  void (*write_property)(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element,
                         uint32_t value, uint32_t value_high);                                       /* 5 */
  void* (*allocate)(uint32_t size);                                                                  /* 6 */
  void* (*resize)(void* block, uint32_t size);                                                       /* 7 */
  void (*release)(void* block);                                                                      /* 8 */
  void (*end_program)(int32_t code);                                                                 /* 9 */
  void (*run)();                                                                                     /* 10 */
  int32_t (*load_start_window)(uint32_t window_id);                                                  /* 11 */
  intptr_t (*call_routine)(int32_t number, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                           intptr_t a5);                                                             /* 12 */
};

const RuntimeServiceTable& services();

// Routines of entry 12.
namespace routine {
inline constexpr int32_t kFindFileStep = 0;
inline constexpr int32_t kCloseFindFile = 1;
inline constexpr int32_t kMakeArrayWritable = 2;
inline constexpr int32_t kRegisterExitRoutine = 3;
inline constexpr int32_t kInitialise = 6;
}  // namespace routine

// File search step: the pattern starts a search (an empty text continues the
// one in *handle); gives a new text with the next name that passes the filter,
// or null once the search is over (the handle is then closed and cleared).
// With `files_only` every entry but directories passes; otherwise entries whose
// attributes share a bit with the mask (normal files for mask 0).
char* find_file_step(const char* pattern, uint32_t attribute_mask, bool files_only, void** handle);
void close_find_file(void* handle);

// An array that lies in the constant area is copied into a heap block of the
// same size and the reference replaced, so the program may write to it.
void make_array_writable(uint32_t element_size, void** array);

}  // namespace rt
