#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_attributes.h"
#include "platform/output_file.h"
#include "platform/path.h"

namespace platform {
namespace {

// A Windows file time as a POSIX time; 0 leaves the time as it is.
timespec as_timespec(uint64_t time) {
  if (time == 0) return timespec{0, UTIME_OMIT};
  const int64_t since_epoch = static_cast<int64_t>(time - kUnixEpochAsFileTime);
  int64_t seconds = since_epoch / static_cast<int64_t>(kFileTimePerSecond);
  int64_t rest = since_epoch % static_cast<int64_t>(kFileTimePerSecond);
  if (rest < 0) {
    rest += kFileTimePerSecond;
    --seconds;
  }
  return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

}  // namespace

std::unique_ptr<OutputFile> OutputFile::create(const std::string& path, uint32_t attributes) {
  const int fd = open(native_path(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  // As on Windows, an existing file takes the new attributes; the open
  // descriptor stays writable whatever they are.
  struct stat st {};
  if (fstat(fd, &st) == 0) {
    const mode_t mode = st.st_mode & 07777;
    const mode_t wanted = (attributes & kAttributeReadOnly) ? (mode & ~0222) : (mode | S_IWUSR);
    if (wanted != mode) fchmod(fd, wanted);
  }
  return std::unique_ptr<OutputFile>(new OutputFile(fd));
}

OutputFile::~OutputFile() { close(static_cast<int>(m_handle)); }

bool OutputFile::write(const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(static_cast<int>(m_handle), bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::set_times(const FileTimes& times) {
  // The creation time has no place here.
  const timespec both[2] = {as_timespec(times.last_access), as_timespec(times.last_write)};
  return futimens(static_cast<int>(m_handle), both) == 0;
}

}  // namespace platform
