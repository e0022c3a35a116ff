#include "archive/zip/local_header.h"

#include "archive/zip/little_endian.h"

namespace archive::zip {

ZipResult<LocalHeader> read_local_header(const ArchiveSource& source, const CentralEntry& entry,
                                         uint64_t bytes_before) {
  const uint64_t position = local_header_position(entry, bytes_before);
  uint8_t bytes[kLocalHeaderSize];
  ZIP_TRY(source.read_exact(position, bytes, sizeof bytes));
  FieldReader fields(bytes);
  if (fields.u32() != kLocalHeaderSignature) return ZipError::BadLocalHeader;
  fields.u16();  // version needed
  const uint16_t flags = fields.u16();
  const uint16_t method = fields.u16();
  fields.u32();  // time and date
  const uint32_t crc32 = fields.u32();
  const uint32_t compressed_size = fields.u32();
  const uint32_t uncompressed_size = fields.u32();
  const uint16_t name_length = fields.u16();
  const uint16_t extra_length = fields.u16();

  if (method != entry.method) return ZipError::BadLocalHeader;
  if (method != kMethodStored && method != kMethodDeflated) return ZipError::UnsupportedMethod;
  if (!(flags & kFlagDataDescriptor) && (crc32 != entry.crc32 || compressed_size != entry.compressed_size ||
                                         uncompressed_size != entry.uncompressed_size))
    return ZipError::BadLocalHeader;
  if (name_length != entry.name_length) return ZipError::BadLocalHeader;

  LocalHeader header;
  const uint64_t extra_position = position + kLocalHeaderSize + name_length;
  header.extra.resize(extra_length);
  ZIP_TRY(source.read_exact(extra_position, header.extra.data(), header.extra.size()));
  header.data_position = extra_position + extra_length;
  return header;
}

}  // namespace archive::zip
