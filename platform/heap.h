#pragma once

#include <cstddef>

// The process heap that every runtime block comes from.
namespace platform {

void* heap_alloc(size_t size);
void* heap_realloc(void* block, size_t size);
void heap_free(void* block);

}  // namespace platform
