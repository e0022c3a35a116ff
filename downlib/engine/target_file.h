#pragma once

#include <cstdint>
#include <shared_mutex>
#include <string>

#include "platform/positional_file.h"

// The task's target file: created new at its full size, written by every
// worker at its own offsets (no shared file position, no lock between
// writers), and closed once when the task finishes. A write after the close
// fails, so a worker that outlives the task never touches the file again.
namespace downlib::engine {

class TargetFile {
 public:
  ~TargetFile() { close(); }

  platform::CreateOutcome create(const std::string& path, int32_t size);
  // False when the file is closed (or was never created) or the write fails.
  bool write(int64_t offset, const void* data, uint32_t size);
  void close();

 private:
  // Writers share the lock; closing takes it alone, so no write is under way
  // while the handle goes.
  std::shared_mutex m_mutex;
  platform::FileHandle m_file = platform::kNoFile;
};

}  // namespace downlib::engine
