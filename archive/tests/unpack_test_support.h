#pragma once

// Files on disk for the unpacking tests. Paths are program texts (GBK, "\").
#include <cstdint>
#include <string>
#include <vector>

#include "archive/zip/unpack_progress.h"

namespace zip_test {

// A fresh directory for one test, removed with everything in it at the end.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

 private:
  std::string m_path;
};

void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
bool exists(const std::string& path);
void make_read_only(const std::string& path);

// Everything below `directory`, relative to it, "\" separators, directories
// with a "\" at the end, sorted.
std::vector<std::string> tree(const std::string& directory);

// Renders bytes for failure messages: printable ASCII as is, others as \xNN.
std::string shown(const std::string& bytes);

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
