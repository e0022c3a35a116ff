#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/path.h"
#include "platform/positional_file.h"

namespace platform {
namespace {

// Reserves the space so that a full disk shows now, not halfway through the
// download; file systems that cannot reserve get a sparse file of the size.
bool give_size(int fd, int64_t size) {
  if (size == 0) return true;
  const int error = posix_fallocate(fd, 0, static_cast<off_t>(size));
  if (error == 0) return true;
  if (error != EOPNOTSUPP && error != EINVAL) return false;
  return ftruncate(fd, static_cast<off_t>(size)) == 0;
}

}  // namespace

FileHandle create_new_file(const std::string& path, int64_t size, CreateOutcome* outcome) {
  const std::string native = native_path(path);
  const int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    *outcome = errno == EEXIST ? CreateOutcome::AlreadyExists : CreateOutcome::Failed;
    return kNoFile;
  }
  if (size < 0 || !give_size(fd, size)) {
    close(fd);
    unlink(native.c_str());  // ours: we made it a moment ago
    *outcome = CreateOutcome::Failed;
    return kNoFile;
  }
  *outcome = CreateOutcome::Created;
  return fd;
}

bool write_at(FileHandle file, int64_t offset, const void* data, uint32_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = pwrite(static_cast<int>(file), bytes, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    offset += n;
    size -= static_cast<uint32_t>(n);
  }
  return true;
}

void close_file(FileHandle file) {
  if (file != kNoFile) close(static_cast<int>(file));
}

std::optional<int64_t> existing_file_size(const std::string& path) {
  struct stat info {};
  if (stat(native_path(path).c_str(), &info) != 0) return std::nullopt;
  return static_cast<int64_t>(info.st_size);
}

}  // namespace platform
