#pragma once

#include <cstdint>

#include "runtime/arg_value.h"

// The runtime allocator. Every text, byte set and array that crosses the
// boundary between the program and a library lives in a block from here, so
// either side can free what the other allocated. Blocks that lie in the
// program's constant area are read-only: free ignores them and resize copies
// them out first.
namespace rt {

// Reports "分配 %d 字节内存失败!" as a runtime error when the heap is exhausted.
void* allocate(uint32_t size);

// A null block allocates; a constant block is copied into a new heap block of
// `size` bytes (as much as fits, never reading past the constant area).
void* resize(void* block, uint32_t size);

// Null and constant blocks are ignored.
void release(void* block);

// Frees an array block; for arrays of texts or byte sets each element first.
void release_array(void* block, TypeTag element_tag);

// The constant area of the running program, [begin, begin + size).
void set_constant_area(const void* begin, uint32_t size);
bool in_constant_area(const void* p);

// The empty text and the empty byte set {1, 0} that stand in for null
// arguments. They come from the start of the program's constant area when it
// has room for them, else from the runtime's own read-only data.
const char* constant_empty_text();
const void* constant_empty_bytes();

}  // namespace rt
