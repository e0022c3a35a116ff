#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/path.h"

namespace platform {
namespace {

// A byte set carries its length in a signed 32-bit word after an 8-byte head.
constexpr uint64_t kLargestContent = 0x7FFFFFFF - 8;

class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  ~Descriptor() {
    if (valid()) close(m_fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  bool valid() const { return m_fd >= 0; }
  int get() const { return m_fd; }

 private:
  int m_fd;
};

bool write_all(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Reads the rest of an open file; false on a read error.
bool read_all(int fd, std::string& content) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (content.size() + static_cast<size_t>(n) > kLargestContent) return false;
    content.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace

std::optional<std::string> read_whole_file(const std::string& path) {
  Descriptor file(open(native_path(path).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!file.valid() || fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (static_cast<uint64_t>(st.st_size) > kLargestContent) return std::nullopt;
  std::string content;
  content.reserve(static_cast<size_t>(st.st_size));
  if (!read_all(file.get(), content)) return std::nullopt;
  return content;
}

bool write_whole_file(const std::string& path, const std::vector<std::string_view>& parts) {
  // Windows opens the file without sharing; here an exclusive lock, taken
  // before truncating, keeps two writers of ours from mixing their bytes.
  Descriptor file(open(native_path(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (!file.valid()) return false;
  if (flock(file.get(), LOCK_EX | LOCK_NB) != 0 || ftruncate(file.get(), 0) != 0) return false;
  for (std::string_view part : parts)
    if (!write_all(file.get(), part.data(), part.size())) return false;
  return true;
}

bool delete_file(const std::string& path) {
  const std::string native = native_path(path);
  struct stat st {};
  // DeleteFile removes files only, never a directory.
  if (lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return unlink(native.c_str()) == 0;
}

bool create_directory(const std::string& path) { return mkdir(native_path(path).c_str(), 0777) == 0; }

bool copy_file(const std::string& source, const std::string& target) {
  Descriptor from(open(native_path(source).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat from_st {};
  if (!from.valid() || fstat(from.get(), &from_st) != 0 || !S_ISREG(from_st.st_mode)) return false;
  const std::string target_native = native_path(target);
  struct stat to_st {};
  // Copying a file onto itself would truncate it before reading it.
  if (stat(target_native.c_str(), &to_st) == 0 && to_st.st_dev == from_st.st_dev && to_st.st_ino == from_st.st_ino)
    return false;
  Descriptor to(open(target_native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, from_st.st_mode & 0777));
  if (!to.valid()) return false;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(from.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!write_all(to.get(), buffer, static_cast<size_t>(n))) return false;
  }
}

bool path_exists(const std::string& path) {
  struct stat st {};
  return lstat(native_path(path).c_str(), &st) == 0;
}

std::optional<uint64_t> file_size(const std::string& path) {
  struct stat st {};
  if (stat(native_path(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

bool replace_file(const std::string& source, const std::string& target) {
  return std::rename(native_path(source).c_str(), native_path(target).c_str()) == 0;
}

std::string temp_directory() {
  const char* from_environment = std::getenv("TMPDIR");
  std::string directory = from_environment && *from_environment ? from_environment : "/tmp";
  if (directory.back() != '/') directory += '/';
  return program_path(directory);
}

bool remove_empty_directory(const std::string& path) { return rmdir(native_path(path).c_str()) == 0; }

bool append_to_file(const std::string& path, std::string_view text) {
  Descriptor file(open(native_path(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
  return file.valid() && write_all(file.get(), text.data(), text.size());
}

}  // namespace platform
