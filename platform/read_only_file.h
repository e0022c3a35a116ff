#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// An open file's native handle: a Win32 HANDLE or a POSIX descriptor.
using NativeFile = intptr_t;

// A file opened for reading at any offset; other readers may share it, no
// writer may (GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING).
class ReadOnlyFile {
 public:
  // Nothing when the file cannot be opened (or is a directory).
  static std::unique_ptr<ReadOnlyFile> open(const std::string& path);
  // A duplicate of a handle the caller keeps; the handle's position at this
  // moment becomes the start offset.
  static std::unique_ptr<ReadOnlyFile> duplicate(NativeFile handle);

  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // 0 for a file opened by name.
  uint64_t start_offset() const { return m_start; }
  std::optional<uint64_t> size() const;
  // Reads up to `size` bytes at `offset`: how many were read (0 at the end of
  // the file), or nothing on a read error. Does not move the handle's position.
  std::optional<size_t> read_at(uint64_t offset, void* buffer, size_t size) const;

 private:
  ReadOnlyFile(NativeFile handle, uint64_t start, bool shared_position)
      : m_handle(handle), m_start(start), m_shared_position(shared_position) {}

  NativeFile m_handle;
  uint64_t m_start;
  // A duplicated Win32 handle moves the caller's position when it reads.
  [[maybe_unused]] bool m_shared_position;
};

}  // namespace platform
