#include "archive/tests/zip_fuzz_body.h"

#include <string_view>

#include "archive/zip/archive_path.h"
#include "archive/zip/zip_archive.h"

namespace zip_test {
namespace {

using namespace archive::zip;

class CountingSink final : public ByteSink {
 public:
  bool write(const uint8_t*, size_t size) override {
    count += size;
    return true;
  }
  uint64_t count = 0;
};

// A second opinion on names the unpacking would extract: joined to a
// target, they must never climb above it. Walks the bytes, taking every
// byte of 0x80 or more with the next one as one character.
bool climbs_out(std::string_view name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return true;
  if (name.find(':') == 1) return true;
  int depth = 0;
  std::string component;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && static_cast<unsigned char>(name[i]) >= 0x80) {
      component += name.substr(i, 2);
      ++i;
      continue;
    }
    if (i == name.size() || name[i] == '/' || name[i] == '\\') {
      if (component == "..")
        --depth;
      else if (!component.empty() && component != ".")
        ++depth;
      if (depth < 0) return true;
      component.clear();
      continue;
    }
    component += name[i];
  }
  return false;
}

}  // namespace

FuzzRun run_fuzz_input(const uint8_t* data, size_t size) {
  FuzzRun run;
  auto archive = ZipArchive::open(ArchiveSource::from_memory(data, size));
  if (!archive) return run;
  run.opened = true;
  run.entries = archive.value()->entry_count();
  for (uint32_t index = 0; index < run.entries; ++index) {
    const auto entry = archive.value()->describe(static_cast<int32_t>(index));
    if (!entry) break;
    ++run.listed;
    if (entry->index != static_cast<int32_t>(index)) run.broken = "listed under another index";
    if (name_stays_inside(entry->name) && climbs_out(entry->name)) run.broken = "a name that leaves the target passed";

    CountingSink sink;
    const auto extracted = archive.value()->extract(static_cast<int32_t>(index), sink);
    if (sink.count > entry->uncompressed_size) run.broken = "more content than declared";
    if (extracted.ok() && sink.count != entry->uncompressed_size) run.broken = "content of another size accepted";
    if (extracted.ok()) ++run.extracted;
  }
  return run;
}

}  // namespace zip_test
