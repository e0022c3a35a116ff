#include "runtime/memory.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/heap.h"
#include "runtime/blocks.h"
#include "runtime/runtime_error.h"

namespace rt {
namespace {

std::atomic<const uint8_t*> g_constant_begin{nullptr};
std::atomic<uint32_t> g_constant_size{0};

// The runtime's own empties, for programs whose constant area is too small
// to hold them. Treated like constant blocks: never freed.
alignas(8) constexpr uint8_t kOwnEmpties[12] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};

bool in_own_empties(const void* p) {
  const auto* b = static_cast<const uint8_t*>(p);
  return b >= kOwnEmpties && b < kOwnEmpties + sizeof kOwnEmpties;
}

[[noreturn]] void report_out_of_memory(uint32_t size) {
  char message[100];
  std::snprintf(message, sizeof message, "分配 %d 字节内存失败!", static_cast<int>(size));
  report_runtime_error(message, 0, 0, 0);
}

// The program's constant area starts with the empty text (4 zero bytes) and
// the empty byte set {1, 0}; check that it really does before using it.
bool constant_area_has_empties() {
  const uint8_t* begin = g_constant_begin.load();
  return begin && g_constant_size.load() >= sizeof kOwnEmpties && std::memcmp(begin, kOwnEmpties, sizeof kOwnEmpties) == 0;
}

}  // namespace

void set_constant_area(const void* begin, uint32_t size) {
  g_constant_begin = size ? static_cast<const uint8_t*>(begin) : nullptr;
  g_constant_size = begin ? size : 0;
}

bool in_constant_area(const void* p) {
  const auto* b = static_cast<const uint8_t*>(p);
  const uint8_t* begin = g_constant_begin.load();
  return (begin && b >= begin && b < begin + g_constant_size.load()) || in_own_empties(p);
}

const char* constant_empty_text() {
  return reinterpret_cast<const char*>(constant_area_has_empties() ? g_constant_begin.load() : kOwnEmpties);
}

const void* constant_empty_bytes() {
  return (constant_area_has_empties() ? g_constant_begin.load() : kOwnEmpties) + 4;
}

void* allocate(uint32_t size) {
  void* block = platform::heap_alloc(size);
  if (!block) report_out_of_memory(size);
  return block;
}

void* resize(void* block, uint32_t size) {
  if (!block) return allocate(size);
  if (in_constant_area(block)) {
    const auto* from = static_cast<const uint8_t*>(block);
    const uint8_t* end = in_own_empties(block) ? kOwnEmpties + sizeof kOwnEmpties
                                               : g_constant_begin.load() + g_constant_size.load();
    const auto available = static_cast<uint32_t>(end - from);
    void* copy = allocate(size);
    std::memcpy(copy, from, std::min(size, available));
    return copy;
  }
  void* grown = platform::heap_realloc(block, size);
  if (!grown) report_out_of_memory(size);
  return grown;
}

void release(void* block) {
  if (!block || in_constant_area(block)) return;
  platform::heap_free(block);
}

void release_array(void* block, TypeTag element_tag) {
  if (!block || in_constant_area(block)) return;
  if (element_tag == tag::kText || element_tag == tag::kBytes) {
    const ArrayView array = array_of(block);
    for (uint32_t i = 0; i < array.element_count; ++i) release(array_ref_at(array, i));
  }
  release(block);
}

}  // namespace rt
