#include <windows.h>

#include "platform/file_attributes.h"
#include "platform/file_times.h"
#include "platform/path.h"

namespace platform {
namespace {

uint64_t as_count(const FILETIME& time) { return (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

}  // namespace

std::optional<uint32_t> file_attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<uint32_t>(attributes);
}

bool set_file_attributes(const std::string& path, uint32_t attributes) {
  return SetFileAttributesW(wide_path(path).c_str(), attributes) != 0;
}

std::optional<FileTimes> file_times(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return FileTimes{as_count(data.ftCreationTime), as_count(data.ftLastAccessTime), as_count(data.ftLastWriteTime)};
}

}  // namespace platform
