#include "updater/tests/safety_test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file_io.h"
#include "platform/testing/scratch_files.h"

namespace updater::testing {
namespace {

namespace fs = std::filesystem;
using test_support::fs_path;

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
  for (auto it = fs::recursive_directory_iterator(fs_path(path), error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
#ifdef _WIN32
  for (auto it = fs::recursive_directory_iterator(fs_path(path), error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
  fs::remove_all(fs_path(path), error);
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

void write_file(const std::string& path, const std::string& bytes) { test_support::write_file(path, bytes); }

std::string read_file(const std::string& path) { return test_support::read_file(path); }

void make_directory(const std::string& path) {
  std::error_code error;
  fs::create_directories(fs_path(path), error);
}

void make_read_only(const std::string& path) {
  std::error_code error;
  fs::permissions(fs_path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove, error);
}

platform::LocalTimestamp at(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  return {year, month, day, hour, minute, second, millisecond};
}

}  // namespace updater::testing
