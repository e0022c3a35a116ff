#include <windows.h>

#include "platform/file_search.h"

namespace platform {

namespace {
void fill(const WIN32_FIND_DATAA& data, FoundEntry& entry) {
  entry.name = data.cFileName;
  entry.attributes = data.dwFileAttributes;
}
}  // namespace

FileSearch* find_first(const std::string& pattern, FoundEntry& first) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern.c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  fill(data, first);
  return reinterpret_cast<FileSearch*>(handle);
}

bool find_next(FileSearch* search, FoundEntry& next) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(reinterpret_cast<HANDLE>(search), &data)) return false;
  fill(data, next);
  return true;
}

void find_close(FileSearch* search) {
  if (search) FindClose(reinterpret_cast<HANDLE>(search));
}

}  // namespace platform
