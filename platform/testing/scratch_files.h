#pragma once

#include <filesystem>
#include <string>

// Files on disk for tests, reached through the standard library so that a
// test checks them independently of the code under test. Paths are program
// texts: GBK with "\" between names, as the library commands take them.
namespace test_support {

// The file system's form of a program path, and back.
std::filesystem::path fs_path(const std::string& program_path);
std::string program_form(const std::filesystem::path& path);

// A fresh directory for one test below the temporary directory, named after
// the test, the process and a serial number; removed with everything in it
// (read-only files too) at the end.
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

std::string read_file(const std::string& path);  // empty when it cannot be read
void write_file(const std::string& path, const std::string& content);
bool file_exists(const std::string& path);

// Bytes for failure messages: printable ASCII as is, others as \xNN.
std::string shown(const std::string& bytes);

}  // namespace test_support
