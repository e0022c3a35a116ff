#include "threads/start_thread.h"

#include <cstring>

#include "platform/thread.h"

namespace threads {
namespace {

platform::ThreadRoutine routine_of(const rt::ArgValue& entry) {
  uintptr_t address = 0;
  std::memcpy(&address, &entry, sizeof address);
  return reinterpret_cast<platform::ThreadRoutine>(address);
}

}  // namespace

void StartThread(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  const platform::ThreadRoutine routine = count >= 1 ? routine_of(args[0]) : nullptr;
  const uint32_t parameter = count > 1 && args[1].present() ? args[1].low : 0;
  auto* handle_variable = count > 2 && args[2].present() ? args[2].ref<int32_t>() : nullptr;

  // A thread started at address 0 would only fault and take the process
  // with it; a missing entry is a failed start instead.
  const platform::ThreadHandle handle = routine ? platform::start_thread(routine, parameter) : 0;

  if (handle_variable)
    *handle_variable = handle;  // the caller closes it
  else
    platform::close_thread_handle(handle);
  *result = rt::ArgValue::of_bool(handle != 0);
}

}  // namespace threads
