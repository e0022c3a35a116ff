#pragma once

#include <cstdint>
#include <string>

#include "archive/zip/archive_source.h"
#include "archive/zip/zip_result.h"

namespace archive::zip {

inline constexpr uint32_t kCentralEntrySignature = 0x02014B50;  // "PK\1\2"
inline constexpr uint32_t kCentralEntrySize = 46;               // before name, extra field and comment

inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflated = 8;
inline constexpr uint16_t kFlagDataDescriptor = 0x0008;

// The fixed fields of one central directory entry, and its name.
struct CentralEntry {
  uint16_t version_made_by = 0;
  uint16_t version_needed = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dos_time = 0;  // MS-DOS time in the low half, date in the high half
  uint32_t crc32 = 0;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;
  uint16_t name_length = 0;
  uint16_t extra_length = 0;
  uint16_t comment_length = 0;
  uint16_t disk_number = 0;
  uint16_t internal_attributes = 0;
  uint32_t external_attributes = 0;
  uint32_t local_header_offset = 0;
  // The stored name up to its first zero byte, "/" separators.
  std::string name;

  // Where the entry after this one begins.
  uint64_t next_position(uint64_t position) const {
    return position + kCentralEntrySize + name_length + extra_length + comment_length;
  }
};

ZipResult<CentralEntry> read_central_entry(const ArchiveSource& source, uint64_t position);

}  // namespace archive::zip
