#include <windows.h>

#include "platform/file_search.h"
#include "platform/path.h"

// The search runs on the wide functions: the pattern is converted from GBK
// with code page 936 and the names found are converted back, so a staging
// tree with Chinese names lists the same on a system whose ANSI code page is
// not 936.
namespace platform {

namespace {
void fill(const WIN32_FIND_DATAW& data, FoundEntry& entry) {
  entry.name = gbk_from_wide(data.cFileName);
  entry.attributes = data.dwFileAttributes;
}
}  // namespace

FileSearch* find_first(const std::string& pattern, FoundEntry& first) {
  WIN32_FIND_DATAW data;
  HANDLE handle = FindFirstFileW(wide_path(pattern).c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  fill(data, first);
  return reinterpret_cast<FileSearch*>(handle);
}

bool find_next(FileSearch* search, FoundEntry& next) {
  WIN32_FIND_DATAW data;
  if (!FindNextFileW(reinterpret_cast<HANDLE>(search), &data)) return false;
  fill(data, next);
  return true;
}

void find_close(FileSearch* search) {
  if (search) FindClose(reinterpret_cast<HANDLE>(search));
}

}  // namespace platform
