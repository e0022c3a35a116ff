#pragma once

#include <cstdint>
#include <string>

#include "platform/file_attributes.h"

// A directory listing by wildcard pattern ("dir\*.*"), as FindFirstFile gives it.
namespace platform {

struct FoundEntry {
  std::string name;
  uint32_t attributes = 0;
};

class FileSearch;

// Null when nothing matches; otherwise `first` holds the first entry.
FileSearch* find_first(const std::string& pattern, FoundEntry& first);
bool find_next(FileSearch* search, FoundEntry& next);
void find_close(FileSearch* search);

}  // namespace platform
