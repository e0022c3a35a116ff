#pragma once

// Files on disk for the unpacking tests. Paths are program texts (GBK, "\").
#include <cstdint>
#include <string>
#include <vector>

#include "archive/zip/unpack_progress.h"
#include "platform/testing/scratch_files.h"

namespace zip_test {

// Scratch directories and direct file access (program paths: GBK, "\").
using test_support::read_file;
using test_support::ScratchDirectory;
using test_support::shown;
using test_support::write_file;
inline bool exists(const std::string& path) { return test_support::file_exists(path); }
void make_read_only(const std::string& path);

// Everything below `directory`, relative to it, "\" separators, directories
// with a "\" at the end, sorted.
std::vector<std::string> tree(const std::string& directory);

// The percentages reported, and an answer of Stop at the report numbered
// `stop_at` (0 = the first) when it is set.
class RecordedProgress final : public archive::zip::UnpackProgress {
 public:
  archive::zip::ProgressAnswer report(int32_t percent) override {
    percents.push_back(percent);
    return static_cast<int>(percents.size()) - 1 == stop_at ? archive::zip::ProgressAnswer::Stop
                                                            : archive::zip::ProgressAnswer::Continue;
  }
  std::vector<int32_t> percents;
  int stop_at = -1;
};

}  // namespace zip_test
