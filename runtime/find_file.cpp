#include "platform/file_search.h"
#include "runtime/blocks.h"
#include "runtime/service_table.h"

namespace rt {
namespace {

bool passes(const platform::FoundEntry& entry, uint32_t attribute_mask, bool files_only) {
  const bool directory = (entry.attributes & platform::kAttributeDirectory) != 0;
  if (files_only) return !directory;
  return attribute_mask == 0 || (entry.attributes & attribute_mask) != 0;
}

}  // namespace

char* find_file_step(const char* pattern, uint32_t attribute_mask, bool files_only, void** handle) {
  if (!handle) return nullptr;
  auto* search = static_cast<platform::FileSearch*>(*handle);
  platform::FoundEntry entry;
  if (pattern && *pattern) {
    platform::find_close(search);
    search = platform::find_first(pattern, entry);
    *handle = search;
    if (!search) return nullptr;
    if (passes(entry, attribute_mask, files_only)) return make_text(entry.name);
  }
  if (!search) return nullptr;
  while (platform::find_next(search, entry))
    if (passes(entry, attribute_mask, files_only)) return make_text(entry.name);
  platform::find_close(search);
  *handle = nullptr;
  return nullptr;
}

void close_find_file(void* handle) { platform::find_close(static_cast<platform::FileSearch*>(handle)); }

}  // namespace rt
