#include "archive/zip/unpack.h"

#include <memory>

#include "archive/zip/archive_path.h"
#include "archive/zip/little_endian.h"
#include "archive/zip/local_header.h"
#include "archive/zip/zip_archive.h"
#include "platform/file_attributes.h"
#include "platform/read_only_file.h"

namespace archive::zip {
namespace {

// Names are kept in a field of 260 bytes with its terminating zero.
constexpr size_t kLongestName = 259;

enum class Outcome { Extracted, Stopped, Failed, Missing };

bool exists(const std::string& path) { return platform::file_attributes(path).has_value(); }

// The first 32 bytes must be a local header whose name length is not 0: the
// signed word of bytes 24-27 (the upper half of the uncompressed size and
// the name length) must be at least 1.
bool begins_with_local_header(const std::string& path) {
  const auto file = platform::ReadOnlyFile::open(path);
  uint8_t head[32];
  const auto read = file ? file->read_at(0, head, sizeof head) : std::nullopt;
  if (!read || *read != sizeof head) return false;
  return u32_at(head) == kLocalHeaderSignature && static_cast<int32_t>(u32_at(head + 24)) >= 1;
}

class Unpacking {
 public:
  Unpacking(const std::string& target, UnpackProgress& progress) : m_target(target), m_progress(progress) {}

  Outcome run(const std::string& archive_path);
  // After everything but a stop: the last report, then the archive closes.
  void finish() {
    m_progress.report(percentage(m_total, m_total));
    m_archive.reset();
  }

 private:
  ZipStatus extract(const EntryDescription& entry);

  const std::string& m_target;
  UnpackProgress& m_progress;
  std::unique_ptr<ZipArchive> m_archive;
  uint32_t m_total = 0;
  // The directory of the file extracted last: entries come directory by
  // directory, and one that exists need not be looked for again.
  std::string m_ready_directory;
};

Outcome Unpacking::run(const std::string& archive_path) {
  if (!exists(archive_path)) return Outcome::Missing;
  if (!exists(m_target) && !create_directory_levels(m_target).ok()) return Outcome::Failed;
  if (!begins_with_local_header(archive_path)) return Outcome::Failed;

  auto source = ArchiveSource::from_file(archive_path);
  if (!source) return Outcome::Failed;
  auto archive = ZipArchive::open(std::move(source.value()));
  if (!archive) return Outcome::Failed;
  m_archive = std::move(archive.value());

  // The count is what can be listed: the listing ends at the first entry
  // that cannot be, as if the archive ended there.
  while (m_archive->describe(static_cast<int32_t>(m_total)).ok()) ++m_total;

  for (uint32_t index = 0; index < m_total; ++index) {
    const auto entry = m_archive->describe(static_cast<int32_t>(index));
    if (!entry) break;
    if (!extract(*entry).ok()) return Outcome::Failed;
    if (m_progress.report(percentage(index, m_total)) == ProgressAnswer::Stop) return Outcome::Stopped;
  }
  return Outcome::Extracted;
}

ZipStatus Unpacking::extract(const EntryDescription& entry) {
  // Names that would leave the target, or that do not fit a name field,
  // are passed over; the rest of the archive is extracted.
  if (!name_stays_inside(entry.name) || entry.name.size() > kLongestName) return done();

  const std::string path = output_path(m_target, entry.name);
  if (entry.is_directory()) return exists(path) ? done() : create_directory_levels(path);

  if (path.size() > kLongestPath) return ZipError::PathTooLong;
  const std::string directory = path.substr(0, path.size() - last_component_length(path));
  if (directory != m_ready_directory) {
    ZIP_TRY(create_parent_directories(with_separator(m_target), path));
    m_ready_directory = directory;
  }
  // A read-only file in the way is replaced; what is extracted ends normal.
  platform::set_file_attributes(path, platform::kAttributeNormal);
  ZIP_TRY(m_archive->extract_to_file(entry.index, path));
  platform::set_file_attributes(path, platform::kAttributeNormal);
  return done();
}

}  // namespace

UnpackResult unpack_archive(const std::string& archive_path, const std::string& target, UnpackProgress& progress) {
  Unpacking unpacking(target, progress);
  const Outcome outcome = unpacking.run(archive_path);
  if (outcome == Outcome::Stopped) return UnpackResult::Extracted;
  unpacking.finish();
  switch (outcome) {
    case Outcome::Extracted: return UnpackResult::Extracted;
    case Outcome::Missing: return UnpackResult::Missing;
    default: return UnpackResult::Failed;
  }
}

}  // namespace archive::zip
