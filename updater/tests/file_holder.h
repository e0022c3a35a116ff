#pragma once

#include <windows.h>

#include <string>

namespace updater::testing {

// Another process (file_holder_program, beside the test) that holds a file
// open without sharing, as a running server holds its program, from
// construction until destruction.
class FileHolder {
 public:
  explicit FileHolder(const std::string& path);
  ~FileHolder();
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool holding() const { return m_holding; }

 private:
  HANDLE m_ready = nullptr;
  HANDLE m_release = nullptr;
  PROCESS_INFORMATION m_process = {};
  bool m_holding = false;
};

}  // namespace updater::testing
