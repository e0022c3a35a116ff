#include "downlib/engine/target_file.h"

#include <mutex>

namespace downlib::engine {

platform::CreateOutcome TargetFile::create(const std::string& path, int32_t size) {
  platform::CreateOutcome outcome = platform::CreateOutcome::Failed;
  const platform::FileHandle file = platform::create_new_file(path, size, &outcome);
  if (file != platform::kNoFile) {
    std::unique_lock<std::shared_mutex> lock(m_mutex);
    platform::close_file(m_file);
    m_file = file;
  }
  return outcome;
}

bool TargetFile::write(int64_t offset, const void* data, uint32_t size) {
  std::shared_lock<std::shared_mutex> lock(m_mutex);
  return m_file != platform::kNoFile && platform::write_at(m_file, offset, data, size);
}

void TargetFile::close() {
  std::unique_lock<std::shared_mutex> lock(m_mutex);
  platform::close_file(m_file);
  m_file = platform::kNoFile;
}

}  // namespace downlib::engine
