#include "runtime/service_table.h"

#include <cstring>

#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/dll_commands.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_error.h"

namespace rt {
namespace {

RuntimeApp& running_app() {
  RuntimeApp* app = RuntimeApp::current();
  if (!app) report_runtime_error("运行时尚未初始化", 0, 0, 0);
  return *app;
}

uint64_t read_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element) {
  return running_app().windows().read_property(window_id, unit_id, number, element);
}

void write_property(uint32_t window_id, uint32_t unit_id, int32_t number, int32_t element, uint32_t value,
                    uint32_t value_high) {
  running_app().windows().write_property(window_id, unit_id, number, element, value, value_high);
}

void end_program(int32_t code) {
  running_app().end_program(code);
}

void run() { running_app().run(); }

int32_t load_start_window(uint32_t window_id) { return running_app().load_start_window(window_id) ? 1 : 0; }

intptr_t call_routine(int32_t number, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4, intptr_t) {
  switch (number) {
    case routine::kFindFileStep:
      return reinterpret_cast<intptr_t>(find_file_step(reinterpret_cast<const char*>(a1),
                                                       static_cast<uint32_t>(a2), a3 != 0,
                                                       reinterpret_cast<void**>(a4)));
    case routine::kCloseFindFile:
      close_find_file(reinterpret_cast<void*>(a1));
      return 0;
    case routine::kMakeArrayWritable:
      make_array_writable(static_cast<uint32_t>(a1), reinterpret_cast<void**>(a2));
      return 0;
    case routine::kRegisterExitRoutine:
      running_app().register_exit_routine(reinterpret_cast<ExitRoutine>(a1));
      return 0;
    case routine::kInitialise:
      running_app().initialise();
      return 0;
    default:
      return 0;  // routines 4 and 5 serve facilities this program does not have
  }
}

constexpr RuntimeServiceTable kServices = {
    report_runtime_error_by_code,  // 0
    call_dll_command,              // 1
    invoke_command,                // 2
    invoke_command,                // 3
    read_property,                 // 4
    write_property,                // 5
    allocate,                      // 6
    resize,                        // 7
    release,                       // 8
    end_program,                   // 9
    run,                           // 10
    load_start_window,             // 11
    call_routine,                  // 12
};

}  // namespace

const RuntimeServiceTable& services() { return kServices; }

void make_array_writable(uint32_t element_size, void** array) {
  if (!array || !*array || !in_constant_area(*array)) return;
  const ArrayView view = array_of(*array);
  const uint32_t size = 4 + 4 * view.dimension_count + view.element_count * element_size;
  void* copy = allocate(size);
  std::memcpy(copy, *array, size);
  *array = copy;
}

}  // namespace rt
