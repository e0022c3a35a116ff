#include "updater/tests/safety_test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/file_io.h"
#include "platform/path.h"

namespace updater::testing {
namespace {

namespace fs = std::filesystem;

fs::path file_system_path(const std::string& program_path) {
#ifdef _WIN32
  return fs::path(platform::wide_path(program_path));
#else
  return fs::path(platform::native_path(program_path));
#endif
}

// Test processes of several checkouts may run at once on one machine.
unsigned long process_id() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

std::string process_folder() { return platform::temp_directory() + "updater_safety_" + std::to_string(process_id()); }

void remove_tree(const std::string& path) {
  std::error_code error;
  // Read-only files and directories would stop remove_all.
  for (auto it = fs::recursive_directory_iterator(file_system_path(path), error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
#ifdef _WIN32
  for (auto it = fs::recursive_directory_iterator(file_system_path(path), error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
  fs::remove_all(file_system_path(path), error);
}

class ScratchCleanUp : public ::testing::Environment {
 public:
  void TearDown() override { remove_tree(process_folder()); }
};

const auto* const g_clean_up = ::testing::AddGlobalTestEnvironment(new ScratchCleanUp);

}  // namespace

std::string scratch_root(const std::string& name) {
  const std::string root = process_folder() + "\\" + name;
  remove_tree(root);
  make_directory(root);
  return root + "\\";
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(file_system_path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
  std::ifstream in(file_system_path(path), std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void make_directory(const std::string& path) {
  std::error_code error;
  fs::create_directories(file_system_path(path), error);
}

void make_read_only(const std::string& path) {
  std::error_code error;
  fs::permissions(file_system_path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove, error);
}

platform::LocalTimestamp at(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  return {year, month, day, hour, minute, second, millisecond};
}

}  // namespace updater::testing
