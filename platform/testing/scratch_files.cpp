#include "platform/testing/scratch_files.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "platform/path.h"

namespace test_support {
namespace {

int process_id() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

}  // namespace

std::filesystem::path fs_path(const std::string& program_path) {
#ifdef _WIN32
  return std::filesystem::path(platform::wide_path(program_path));
#else
  return std::filesystem::path(platform::native_path(program_path));
#endif
}

std::string program_form(const std::filesystem::path& path) {
#ifdef _WIN32
  return platform::gbk_from_wide(path.wstring());
#else
  return platform::program_path(path.string());
#endif
}

ScratchDirectory::ScratchDirectory(const std::string& name) {
  static std::atomic<int> serial{0};
  m_path = program_form(std::filesystem::temp_directory_path());
  if (!m_path.empty() && m_path.back() == '\\') m_path.pop_back();
  m_path += "\\" + name + "_" + std::to_string(process_id()) + "_" + std::to_string(serial++);
  std::error_code ignored;
  std::filesystem::remove_all(fs_path(m_path), ignored);
  std::filesystem::create_directories(fs_path(m_path));
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  // Read-only files left by a test must not keep their directory alive.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(fs_path(m_path), ignored))
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
  std::filesystem::remove_all(fs_path(m_path), ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream in(fs_path(path), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(fs_path(path), std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

bool file_exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(fs_path(path), ignored);
}

std::string shown(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    }
  }
  return out;
}

}  // namespace test_support
