#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"

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

// This process holds the file open, shared with nobody unless `share` says
// so (an editor, a server in the same process), while this lives.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path, DWORD share = 0)
      : m_handle(
            CreateFileW(platform::wide_path(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {
    EXPECT_NE(m_handle, INVALID_HANDLE_VALUE) << path;
  }
  ~HeldOpen() { CloseHandle(m_handle); }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;

 private:
  HANDLE m_handle;
};

}  // namespace updater::testing
