#include "archive/zip/central_entry.h"

#include "archive/zip/little_endian.h"

namespace archive::zip {

ZipResult<CentralEntry> read_central_entry(const ArchiveSource& source, uint64_t position) {
  uint8_t bytes[kCentralEntrySize];
  ZIP_TRY(source.read_exact(position, bytes, sizeof bytes));
  FieldReader fields(bytes);
  if (fields.u32() != kCentralEntrySignature) return ZipError::BadCentralEntry;

  CentralEntry entry;
  entry.version_made_by = fields.u16();
  entry.version_needed = fields.u16();
  entry.flags = fields.u16();
  entry.method = fields.u16();
  entry.dos_time = fields.u32();
  entry.crc32 = fields.u32();
  entry.compressed_size = fields.u32();
  entry.uncompressed_size = fields.u32();
  entry.name_length = fields.u16();
  entry.extra_length = fields.u16();
  entry.comment_length = fields.u16();
  entry.disk_number = fields.u16();
  entry.internal_attributes = fields.u16();
  entry.external_attributes = fields.u32();
  entry.local_header_offset = fields.u32();

  entry.name.resize(entry.name_length);
  ZIP_TRY(source.read_exact(position + kCentralEntrySize, reinterpret_cast<uint8_t*>(entry.name.data()),
                            entry.name.size()));
  // The name is a zero-terminated text for everything that uses it.
  if (const size_t zero = entry.name.find('\0'); zero != std::string::npos) entry.name.resize(zero);
  return entry;
}

}  // namespace archive::zip
