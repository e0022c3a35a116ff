#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/zip/archive_source.h"
#include "archive/zip/byte_sink.h"
#include "archive/zip/central_entry.h"
#include "archive/zip/data_spans.h"
#include "archive/zip/end_record.h"
#include "archive/zip/entry_description.h"
#include "archive/zip/entry_reader.h"
#include "archive/zip/zip_result.h"

namespace archive::zip {

// One open archive: its end record, the central entry reached last (entries
// are reached by stepping forward from the first, again from the first for
// an earlier one), and every entry listed so far.
class ZipArchive {
 public:
  static ZipResult<std::unique_ptr<ZipArchive>> open(std::unique_ptr<ArchiveSource> source);

  // As the end record gives it.
  uint32_t entry_count() const { return m_end.entry_count; }

  // Lists entry `index`. Fails past the last entry, and at an entry whose
  // central or local header cannot be read or does not match, whose method
  // is neither stored nor deflated, or whose data overlaps other data.
  ZipResult<EntryDescription> describe(int32_t index);

  // The content of entry `index`, checked against its size and CRC-32.
  ZipStatus extract(int32_t index, ByteSink& sink);
  // Into a file created (or emptied) at `path` with the entry's attributes
  // and given its times. The file's directory must exist.
  ZipStatus extract_to_file(int32_t index, const std::string& path);

 private:
  ZipArchive(std::unique_ptr<ArchiveSource> source, const EndRecord& end);
  ZipStatus step_to(uint32_t index);
  const ArchiveSource& directory_source() const { return m_directory ? *m_directory : *m_source; }
  // Reads the entry's content chunk by chunk into `write` (a sink).
  template <class Write>
  ZipStatus copy_content(int32_t index, Write&& write);

  std::unique_ptr<ArchiveSource> m_source;
  // The source with the central directory in memory, when it is not huge.
  std::unique_ptr<ArchiveSource> m_directory;
  EndRecord m_end;
  DataSpans m_spans;

  uint32_t m_index = 0;  // of m_entry, which starts at m_position
  uint64_t m_position = 0;
  std::optional<CentralEntry> m_entry;
  // Every entry listed so far, by index: unpacking lists each one twice.
  struct Listed {
    EntryDescription description;
    EntryData data;
  };
  std::vector<std::optional<Listed>> m_listed;
  // Buffers of the entry being extracted, kept from one entry to the next.
  std::vector<uint8_t> m_input;
  std::vector<uint8_t> m_chunk;
};

}  // namespace archive::zip
