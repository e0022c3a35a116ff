#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "archive/zip/zip_result.h"
#include "platform/read_only_file.h"

namespace archive::zip {

// Where an archive's bytes come from: a file opened by name, a duplicate of
// a file handle the caller keeps open, or a block of memory (which must
// outlive the source). Positions are positions in the whole file; an archive
// reached through a handle starts where the handle stood when it was taken.
class ArchiveSource {
 public:
  static ZipResult<std::unique_ptr<ArchiveSource>> from_file(const std::string& path);
  static ZipResult<std::unique_ptr<ArchiveSource>> from_handle(platform::NativeFile handle);
  static std::unique_ptr<ArchiveSource> from_memory(const uint8_t* data, size_t size);

  virtual ~ArchiveSource() = default;

  virtual uint64_t size() const = 0;
  virtual uint64_t start_offset() const = 0;
  // Up to `size` bytes at `position`: how many there were (0 past the end).
  virtual ZipResult<size_t> read_some(uint64_t position, uint8_t* buffer, size_t size) const = 0;

  // Exactly `size` bytes, or ReadFailed.
  ZipStatus read_exact(uint64_t position, uint8_t* buffer, size_t size) const;
};

}  // namespace archive::zip
