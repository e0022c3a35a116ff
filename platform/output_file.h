#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_times.h"

namespace platform {

// A file being written from its start, shared with nobody while it is open.
class OutputFile {
 public:
  // Creates the file, or empties an existing one, and gives it these
  // attributes (CREATE_ALWAYS). Nothing when that fails.
  static std::unique_ptr<OutputFile> create(const std::string& path, uint32_t attributes);

  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // All of the bytes or false.
  bool write(const void* data, size_t size);
  // Times of 0 stay as they are.
  bool set_times(const FileTimes& times);

 private:
  explicit OutputFile(intptr_t handle) : m_handle(handle) {}

  intptr_t m_handle;
};

}  // namespace platform
