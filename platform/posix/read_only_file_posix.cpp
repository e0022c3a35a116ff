#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/path.h"
#include "platform/read_only_file.h"

namespace platform {

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::open(const std::string& path) {
  const int fd = ::open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<ReadOnlyFile>(new ReadOnlyFile(fd, 0, false));
}

std::unique_ptr<ReadOnlyFile> ReadOnlyFile::duplicate(NativeFile handle) {
  const off_t position = lseek(static_cast<int>(handle), 0, SEEK_CUR);
  if (position < 0) return nullptr;
  const int copy = fcntl(static_cast<int>(handle), F_DUPFD_CLOEXEC, 0);
  if (copy < 0) return nullptr;
  // pread leaves the shared position alone.
  return std::unique_ptr<ReadOnlyFile>(new ReadOnlyFile(copy, static_cast<uint64_t>(position), false));
}

ReadOnlyFile::~ReadOnlyFile() { close(static_cast<int>(m_handle)); }

std::optional<uint64_t> ReadOnlyFile::size() const {
  struct stat st {};
  if (fstat(static_cast<int>(m_handle), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

std::optional<size_t> ReadOnlyFile::read_at(uint64_t offset, void* buffer, size_t size) const {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
  for (;;) {
    const ssize_t n = pread(static_cast<int>(m_handle), buffer, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    return static_cast<size_t>(n);
  }
}

}  // namespace platform
