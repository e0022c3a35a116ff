#include "runtime/blocks.h"

#include <cstring>

#include "runtime/memory.h"

namespace rt {
namespace {

int32_t read_i32(const void* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void write_i32(void* p, int32_t v) { std::memcpy(p, &v, sizeof v); }

}  // namespace

BytesView bytes_of(const void* block) {
  if (!block) return {};
  const auto* b = static_cast<const uint8_t*>(block);
  const int32_t length = read_i32(b + 4);
  if (length <= 0) return {};
  return {b + 8, static_cast<uint32_t>(length)};
}

void* make_bytes(const void* data, uint32_t size) {
  if (size == 0) return nullptr;
  auto* block = static_cast<uint8_t*>(allocate(size + 8));
  write_i32(block, 1);
  write_i32(block + 4, static_cast<int32_t>(size));
  std::memcpy(block + 8, data, size);
  return block;
}

void* make_zero_bytes(uint32_t size) {
  if (size == 0) return nullptr;
  auto* block = static_cast<uint8_t*>(allocate(size + 8));
  write_i32(block, 1);
  write_i32(block + 4, static_cast<int32_t>(size));
  std::memset(block + 8, 0, size);
  return block;
}

char* make_text(std::string_view text) {
  if (text.empty()) return nullptr;
  auto* copy = static_cast<char*>(allocate(static_cast<uint32_t>(text.size() + 1)));
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

uint32_t element_size(TypeTag element_tag) {
  switch (element_tag) {
    case tag::kByte: return 1;
    case tag::kShort: return 2;
    case tag::kInt:
    case tag::kFloat:
    case tag::kBool: return 4;
    case tag::kInt64:
    case tag::kDouble:
    case tag::kDateTime:
    case tag::kSystem8: return 8;
    case tag::kText:
    case tag::kBytes:
    case tag::kSubroutine: return sizeof(void*);
    default: return 8;  // a unit reference: window id and unit id
  }
}

ArrayView array_of(void* block) {
  ArrayView view;
  if (!block) return view;
  auto* b = static_cast<uint8_t*>(block);
  const int32_t n = read_i32(b);
  if (n <= 0) return view;
  view.dimension_count = static_cast<uint32_t>(n);
  view.dimensions = reinterpret_cast<const int32_t*>(b + 4);
  uint32_t count = 1;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t size = read_i32(b + 4 + 4 * i);
    count *= size > 0 ? static_cast<uint32_t>(size) : 0;
  }
  view.element_count = count;
  view.elements = b + 4 + 4 * n;
  return view;
}

void* make_array(uint32_t count, uint32_t size_of_element) {
  const uint32_t bytes = 8 + count * size_of_element;
  auto* block = static_cast<uint8_t*>(allocate(bytes));
  std::memset(block, 0, bytes);
  write_i32(block, 1);
  write_i32(block + 4, static_cast<int32_t>(count));
  return block;
}

void* array_ref_at(const ArrayView& array, uint32_t i) {
  void* p;
  std::memcpy(&p, array.elements + i * sizeof(void*), sizeof p);
  return p;
}

void set_array_ref_at(const ArrayView& array, uint32_t i, const void* p) {
  std::memcpy(array.elements + i * sizeof(void*), &p, sizeof p);
}

}  // namespace rt
