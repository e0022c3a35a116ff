#include "downlib/tests/scenario/sandbox.h"

#include <filesystem>
#include <system_error>

#include "platform/path.h"
#include "platform/testing/scratch_files.h"

namespace scenario {
namespace {

using test_support::fs_path;

std::string name_of(const std::filesystem::path& path) { return test_support::program_form(path.filename()); }

}  // namespace

std::string program_form_of_unix_path(const std::string& unix_path) {
#ifdef _WIN32
  std::string path = "Z:" + unix_path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
#else
  return platform::program_path(unix_path);
#endif
}

std::string program_form_of_plan_path(const std::string& path) {
  return !path.empty() && path[0] == '/' ? program_form_of_unix_path(path) : path;
}

bool path_exists(const std::string& program_path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(fs_path(program_path), error));
}

bool remove_path(const std::string& program_path) {
  std::error_code error;
  std::filesystem::remove_all(fs_path(program_path), error);
  return !path_exists(program_path);
}

Sandbox::Sandbox(const std::string& unix_base, const std::string& name) {
  m_root = program_form_of_unix_path(unix_base + "/" + name);
  m_target = m_root + "\\target\\";
  std::error_code error;
  std::filesystem::remove_all(fs_path(m_root), error);
  std::filesystem::create_directories(fs_path(m_target), error);
  if (error || !path_exists(m_target))
    m_problem = "cannot make the target directory " + m_target + ": " + error.message();
}

std::vector<FoundEntry> Sandbox::target_entries() const {
  std::vector<FoundEntry> entries;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(fs_path(m_target), error)) {
    FoundEntry entry;
    entry.name = name_of(item.path());
    entry.directory = item.is_directory(error);
    if (!entry.directory) entry.bytes = test_support::read_file(test_support::program_form(item.path()));
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> Sandbox::strays() const {
  std::vector<std::string> strays;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(fs_path(m_root), error)) {
    const std::string name = name_of(item.path());
    if (name != "target") strays.push_back(name);
  }
  return strays;
}

}  // namespace scenario
