#include "runtime/library_record.h"

#include "runtime/memory.h"
#include "runtime/system_function.h"

namespace rt {

int64_t RuntimeLink::call(int32_t code, intptr_t value1, intptr_t value2) const {
  // Before the runtime has linked the library (in a test of the library
  // alone) the runtime's own function serves.
  SystemFunction function = m_function.load();
  return (function ? function : &system_function)(code, value1, value2);
}

void* RuntimeLink::allocate(uint32_t size) const {
  return reinterpret_cast<void*>(static_cast<intptr_t>(call(sysfn::kAllocate, size)));
}

void RuntimeLink::release(void* block) const { call(sysfn::kRelease, reinterpret_cast<intptr_t>(block)); }

}  // namespace rt
