#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/arg_value.h"

// Layouts of the runtime's heap blocks. A text is a zero-terminated GBK byte
// string. A byte set is an array block of one dimension: i32 1, i32 length,
// then the bytes. An array block is i32 dimension count n, n i32 sizes, then
// the elements (references for texts and byte sets). Commands return an empty
// text or byte set as a null reference, never as an allocated empty block.
namespace rt {

struct BytesView {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  std::string_view as_text_view() const { return {reinterpret_cast<const char*>(data), size}; }
};

// Reads a byte-set block; null reads as empty.
BytesView bytes_of(const void* block);

// A new byte-set block holding a copy of the bytes, or null when size is 0.
void* make_bytes(const void* data, uint32_t size);
// A new byte-set block of `size` bytes, zero-filled, or null when size is 0.
void* make_zero_bytes(uint32_t size);

// A new text holding a copy of the bytes, or null when the text is empty.
char* make_text(std::string_view text);
inline std::string_view text_of(const char* text) { return text ? std::string_view(text) : std::string_view(); }

// Element size in an array block for an element type tag.
uint32_t element_size(TypeTag element_tag);

struct ArrayView {
  uint32_t dimension_count = 0;
  const int32_t* dimensions = nullptr;
  uint32_t element_count = 0;
  uint8_t* elements = nullptr;
};
ArrayView array_of(void* block);

// A new one-dimensional array block of `count` zeroed elements.
void* make_array(uint32_t count, uint32_t element_size);

// Reference stored at element i of an array of texts or byte sets.
void* array_ref_at(const ArrayView& array, uint32_t i);
void set_array_ref_at(const ArrayView& array, uint32_t i, const void* p);

}  // namespace rt
