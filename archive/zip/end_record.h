#pragma once

#include <cstdint>

#include "archive/zip/archive_source.h"
#include "archive/zip/zip_result.h"

namespace archive::zip {

inline constexpr uint32_t kEndRecordSignature = 0x06054B50;  // "PK\5\6"
inline constexpr uint32_t kEndRecordSize = 22;

// What the end-of-central-directory record tells about the archive.
struct EndRecord {
  uint64_t position = 0;  // of the record in the file
  uint32_t entry_count = 0;
  uint32_t directory_size = 0;
  uint32_t directory_offset = 0;  // as stored: relative to the archive's start
  uint16_t comment_length = 0;
  // Bytes that stand before the archive (a program it was appended to):
  // added to every stored offset.
  uint64_t bytes_before = 0;

  uint64_t directory_position() const { return uint64_t{directory_offset} + bytes_before; }
};

// Finds the record in the last 65,535 bytes and checks it: one disk, the same
// count on it as in total, and a central directory that ends before the record.
ZipResult<EndRecord> read_end_record(const ArchiveSource& source);

}  // namespace archive::zip
