#include "archive/zip/zip_archive.h"

#include <algorithm>
#include <vector>

#include "archive/zip/local_header.h"
#include "platform/file_attributes.h"
#include "platform/output_file.h"

namespace archive::zip {
namespace {

// Content is produced and written in chunks of this size.
constexpr size_t kOutputChunk = 256 * 1024;
// No real archive has a central directory this large.
constexpr uint32_t kLargestCachedDirectory = 64u << 20;

}  // namespace

ZipArchive::ZipArchive(std::unique_ptr<ArchiveSource> source, const EndRecord& end)
    : m_source(std::move(source)), m_end(end), m_position(end.directory_position()) {
  // The directory is read once rather than entry by entry, unless it claims
  // to be larger than any real one; then it is read where it lies.
  std::vector<uint8_t> directory(end.directory_size <= kLargestCachedDirectory ? end.directory_size : 0);
  if (!directory.empty() && m_source->read_exact(end.directory_position(), directory.data(), directory.size()).ok())
    m_directory = std::make_unique<CachedRegion>(*m_source, end.directory_position(), std::move(directory));
  m_spans = DataSpans::survey(directory_source(), end);
}

ZipResult<std::unique_ptr<ZipArchive>> ZipArchive::open(std::unique_ptr<ArchiveSource> source) {
  ZIP_TRY_ASSIGN(end, read_end_record(*source));
  return std::unique_ptr<ZipArchive>(new ZipArchive(std::move(source), end));
}

ZipStatus ZipArchive::step_to(uint32_t index) {
  if (m_entry && m_index == index) return done();
  if (!m_entry || index < m_index) {
    m_entry.reset();
    m_index = 0;
    m_position = m_end.directory_position();
  } else {
    m_position = m_entry->next_position(m_position);
    ++m_index;
    m_entry.reset();
  }
  for (;;) {
    ZIP_TRY_ASSIGN(entry, read_central_entry(directory_source(), m_position));
    if (m_index == index) {
      m_entry = std::move(entry);
      return done();
    }
    m_position = entry.next_position(m_position);
    ++m_index;
  }
}

ZipResult<EntryDescription> ZipArchive::describe(int32_t index) {
  if (index < 0 || static_cast<uint32_t>(index) >= m_end.entry_count) return ZipError::NoSuchEntry;
  const auto slot = static_cast<size_t>(index);
  if (slot < m_listed.size() && m_listed[slot]) return m_listed[slot]->description;

  ZIP_TRY(step_to(static_cast<uint32_t>(index)));
  const CentralEntry& entry = *m_entry;
  if (m_spans.overlaps(static_cast<uint32_t>(index))) return ZipError::OverlappingData;
  ZIP_TRY_ASSIGN(local, read_local_header(*m_source, entry, m_end.bytes_before));

  Listed listed;
  EntryDescription& description = listed.description;
  description.index = index;
  description.name = entry.name;
  description.attributes = attributes_from_external(entry.external_attributes);
  // A name ending in "/" is a directory whatever its attributes say: some
  // archivers leave them 0 (and "/" is never half of a GBK character).
  if (!entry.name.empty() && entry.name.back() == '/') description.attributes |= platform::kAttributeDirectory;
  description.times = entry_times(entry.dos_time, local.extra);
  description.compressed_size = entry.compressed_size;
  description.uncompressed_size = entry.uncompressed_size;
  listed.data = {entry.method, local.data_position, entry.compressed_size, entry.uncompressed_size, entry.crc32};
  if (m_listed.size() <= slot) m_listed.resize(slot + 1);
  m_listed[slot] = std::move(listed);
  return m_listed[slot]->description;
}

template <class Write>
ZipStatus ZipArchive::copy_content(int32_t index, Write&& write) {
  ZIP_TRY(describe(index));
  ZIP_TRY_ASSIGN(reader, EntryReader::open(*m_source, m_listed[static_cast<size_t>(index)]->data, m_input));
  const size_t wanted = std::min<size_t>(kOutputChunk, m_listed[static_cast<size_t>(index)]->data.uncompressed_size);
  if (m_chunk.size() < wanted) m_chunk.resize(wanted);
  if (m_chunk.empty()) return reader->finish();  // nothing to produce
  for (;;) {
    ZIP_TRY_ASSIGN(count, reader->read(m_chunk.data(), m_chunk.size()));
    if (count == 0) break;
    if (!write(m_chunk.data(), count)) return ZipError::WriteFailed;
  }
  return reader->finish();
}

ZipStatus ZipArchive::extract(int32_t index, ByteSink& sink) {
  return copy_content(index, [&](const uint8_t* data, size_t size) { return sink.write(data, size); });
}

ZipStatus ZipArchive::extract_to_file(int32_t index, const std::string& path) {
  ZIP_TRY_ASSIGN(description, describe(index));
  auto file = platform::OutputFile::create(path, description.attributes);
  if (!file) return ZipError::CreateFailed;
  ZIP_TRY(copy_content(index, [&](const uint8_t* data, size_t size) { return file->write(data, size); }));
  // Times that cannot be set leave the file as good as it is.
  file->set_times(description.times);
  return done();
}

}  // namespace archive::zip
