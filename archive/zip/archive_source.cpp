#include "archive/zip/archive_source.h"

#include <algorithm>
#include <cstring>

namespace archive::zip {
namespace {

class FileSource final : public ArchiveSource {
 public:
  FileSource(std::unique_ptr<platform::ReadOnlyFile> file, uint64_t size) : m_file(std::move(file)), m_size(size) {}

  uint64_t size() const override { return m_size; }
  uint64_t start_offset() const override { return m_file->start_offset(); }
  ZipResult<size_t> read_some(uint64_t position, uint8_t* buffer, size_t size) const override {
    const auto read = m_file->read_at(position, buffer, size);
    if (!read) return ZipError::ReadFailed;
    return *read;
  }

 private:
  std::unique_ptr<platform::ReadOnlyFile> m_file;
  uint64_t m_size;
};

class MemorySource final : public ArchiveSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  uint64_t size() const override { return m_size; }
  uint64_t start_offset() const override { return 0; }
  ZipResult<size_t> read_some(uint64_t position, uint8_t* buffer, size_t size) const override {
    if (position >= m_size) return size_t{0};
    const size_t available = static_cast<size_t>(m_size - position);
    const size_t count = size < available ? size : available;
    if (count > 0) std::memcpy(buffer, m_data + position, count);
    return count;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
};

ZipResult<std::unique_ptr<ArchiveSource>> from_open_file(std::unique_ptr<platform::ReadOnlyFile> file) {
  if (!file) return ZipError::OpenFailed;
  const auto size = file->size();
  if (!size) return ZipError::ReadFailed;
  return std::unique_ptr<ArchiveSource>(new FileSource(std::move(file), *size));
}

}  // namespace

ZipResult<std::unique_ptr<ArchiveSource>> ArchiveSource::from_file(const std::string& path) {
  return from_open_file(platform::ReadOnlyFile::open(path));
}

ZipResult<std::unique_ptr<ArchiveSource>> ArchiveSource::from_handle(platform::NativeFile handle) {
  return from_open_file(platform::ReadOnlyFile::duplicate(handle));
}

std::unique_ptr<ArchiveSource> ArchiveSource::from_memory(const uint8_t* data, size_t size) {
  return std::make_unique<MemorySource>(data, size);
}

ZipStatus ArchiveSource::read_exact(uint64_t position, uint8_t* buffer, size_t size) const {
  while (size > 0) {
    ZIP_TRY_ASSIGN(read, read_some(position, buffer, size));
    if (read == 0) return ZipError::ReadFailed;
    position += read;
    buffer += read;
    size -= read;
  }
  return done();
}

ZipResult<size_t> CachedRegion::read_some(uint64_t position, uint8_t* buffer, size_t size) const {
  if (position < m_begin || position - m_begin >= m_bytes.size()) return m_source.read_some(position, buffer, size);
  const size_t at = static_cast<size_t>(position - m_begin);
  const size_t count = std::min(size, m_bytes.size() - at);
  std::memcpy(buffer, m_bytes.data() + at, count);
  return count;
}

}  // namespace archive::zip
