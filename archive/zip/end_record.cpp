#include "archive/zip/end_record.h"

#include <algorithm>

#include "archive/zip/little_endian.h"

namespace archive::zip {
namespace {

// The record is 22 bytes plus a comment of at most 65,535 bytes; it is
// searched backwards in windows that overlap by the signature's length less
// one, so a signature across a window boundary is still seen.
constexpr uint64_t kSearchedTail = 65535;
constexpr uint64_t kWindowStep = 1024;
constexpr uint64_t kWindowSize = kWindowStep + 4;

// Position of the last signature in the searched tail, or nothing. A hit at
// the archive's very start is no record: an archive cannot be empty before it.
ZipResult<uint64_t> find_record(const ArchiveSource& source) {
  const uint64_t start = source.start_offset();
  const uint64_t end = source.size();
  if (end <= start) return ZipError::NoEndRecord;
  const uint64_t searched = std::min(end - start, kSearchedTail);

  uint8_t window[kWindowSize];
  uint64_t back = 4;
  while (back < searched) {
    back = std::min(back + kWindowStep, searched);
    const uint64_t window_position = end - back;
    const size_t window_size = static_cast<size_t>(std::min(kWindowSize, end - window_position));
    ZIP_TRY(source.read_exact(window_position, window, window_size));
    for (size_t i = window_size - 3; i-- > 0;) {
      if (u32_at(window + i) != kEndRecordSignature) continue;
      const uint64_t found = window_position + i;
      if (found == start) break;
      return found;
    }
  }
  return ZipError::NoEndRecord;
}

}  // namespace

ZipResult<EndRecord> read_end_record(const ArchiveSource& source) {
  ZIP_TRY_ASSIGN(position, find_record(source));
  uint8_t bytes[kEndRecordSize];
  ZIP_TRY(source.read_exact(position, bytes, sizeof bytes));

  FieldReader fields(bytes);
  fields.u32();  // the signature, found above
  const uint16_t this_disk = fields.u16();
  const uint16_t directory_disk = fields.u16();
  const uint16_t entries_on_disk = fields.u16();
  const uint16_t entries_in_total = fields.u16();
  EndRecord record;
  record.position = position;
  record.entry_count = entries_in_total;
  record.directory_size = fields.u32();
  record.directory_offset = fields.u32();
  record.comment_length = fields.u16();

  if (this_disk != 0 || directory_disk != 0 || entries_on_disk != entries_in_total) return ZipError::BadEndRecord;
  const uint64_t directory_end = uint64_t{record.directory_offset} + record.directory_size;
  if (position < directory_end) return ZipError::BadEndRecord;
  record.bytes_before = position - directory_end;
  return record;
}

}  // namespace archive::zip
