#include <windows.h>

#include "platform/heap.h"

namespace platform {

void* heap_alloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }

void* heap_realloc(void* block, size_t size) { return HeapReAlloc(GetProcessHeap(), 0, block, size); }

void heap_free(void* block) { HeapFree(GetProcessHeap(), 0, block); }

}  // namespace platform
