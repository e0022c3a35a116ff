#include <cstdlib>

#include "platform/heap.h"

namespace platform {

// malloc(0) may answer null; the process heap always gives a block.
void* heap_alloc(size_t size) { return std::malloc(size ? size : 1); }

void* heap_realloc(void* block, size_t size) { return std::realloc(block, size ? size : 1); }

void heap_free(void* block) { std::free(block); }

}  // namespace platform
