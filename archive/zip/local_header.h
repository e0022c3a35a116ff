#pragma once

#include <cstdint>
#include <vector>

#include "archive/zip/archive_source.h"
#include "archive/zip/central_entry.h"
#include "archive/zip/zip_result.h"

namespace archive::zip {

inline constexpr uint32_t kLocalHeaderSignature = 0x04034B50;  // "PK\3\4"
inline constexpr uint32_t kLocalHeaderSize = 30;               // before name and extra field

// What an entry's local header adds to its central entry.
struct LocalHeader {
  uint64_t data_position = 0;
  std::vector<uint8_t> extra;
};

// The local header of `entry` must match it: the same method, which must be
// stored or deflated; the same CRC-32 and sizes unless a data descriptor
// carries them; the same name length. The local time is not compared.
ZipResult<LocalHeader> read_local_header(const ArchiveSource& source, const CentralEntry& entry, uint64_t bytes_before);

// Where the header stands in the file.
inline uint64_t local_header_position(const CentralEntry& entry, uint64_t bytes_before) {
  return uint64_t{entry.local_header_offset} + bytes_before;
}

}  // namespace archive::zip
