#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_in_use.h"
#include "platform/path.h"

// POSIX files have no share modes: another process holding a file open
// never stops a writer, so a file is never in use here, only writable or not.
namespace platform {

WriteAccess probe_write_access(const std::string& path) {
  const int fd = open(native_path(path).c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd >= 0) {
    close(fd);
    return WriteAccess::Granted;
  }
  return errno == ENOENT || errno == ENOTDIR ? WriteAccess::Missing : WriteAccess::Denied;
}

std::vector<std::string> programs_holding(const std::string&) { return {}; }

}  // namespace platform
