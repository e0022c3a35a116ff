#include <sys/stat.h>

#include "platform/file_attributes.h"
#include "platform/file_times.h"
#include "platform/path.h"

namespace platform {
namespace {

uint64_t as_count(const timespec& time) {
  return kUnixEpochAsFileTime +
         static_cast<uint64_t>(static_cast<int64_t>(time.tv_sec) * static_cast<int64_t>(kFileTimePerSecond)) +
         static_cast<uint64_t>(time.tv_nsec / 100);
}

}  // namespace

std::optional<uint32_t> file_attributes(const std::string& path) {
  struct stat st {};
  if (stat(native_path(path).c_str(), &st) != 0) return std::nullopt;
  uint32_t attributes = S_ISDIR(st.st_mode) ? kAttributeDirectory : 0;
  if (!(st.st_mode & S_IWUSR)) attributes |= kAttributeReadOnly;
  return attributes ? attributes : kAttributeNormal;
}

bool set_file_attributes(const std::string& path, uint32_t attributes) {
  const std::string native = native_path(path);
  struct stat st {};
  if (stat(native.c_str(), &st) != 0) return false;
  const mode_t mode = st.st_mode & 07777;
  const mode_t wanted = (attributes & kAttributeReadOnly) ? (mode & ~0222) : (mode | S_IWUSR);
  return wanted == mode || chmod(native.c_str(), wanted) == 0;
}

std::optional<FileTimes> file_times(const std::string& path) {
  struct stat st {};
  if (stat(native_path(path).c_str(), &st) != 0) return std::nullopt;
  return FileTimes{0, as_count(st.st_atim), as_count(st.st_mtim)};
}

}  // namespace platform
