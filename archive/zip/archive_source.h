#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// One region of another source held in memory (the central directory, read
// once instead of entry by entry); reads elsewhere go to that source.
class CachedRegion final : public ArchiveSource {
 public:
  CachedRegion(const ArchiveSource& source, uint64_t begin, std::vector<uint8_t> bytes)
      : m_source(source), m_begin(begin), m_bytes(std::move(bytes)) {}

  uint64_t size() const override { return m_source.size(); }
  uint64_t start_offset() const override { return m_source.start_offset(); }
  ZipResult<size_t> read_some(uint64_t position, uint8_t* buffer, size_t size) const override;

 private:
  const ArchiveSource& m_source;
  uint64_t m_begin;
  std::vector<uint8_t> m_bytes;
};

}  // namespace archive::zip
