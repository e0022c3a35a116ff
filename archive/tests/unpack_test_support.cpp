#include "archive/tests/unpack_test_support.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace zip_test {

using test_support::fs_path;
using test_support::program_form;

void make_read_only(const std::string& path) {
  std::filesystem::permissions(
      fs_path(path),
      std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write,
      std::filesystem::perm_options::remove);
}

std::vector<std::string> tree(const std::string& directory) {
  std::vector<std::string> names;
  const std::filesystem::path root = fs_path(directory);
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ignored)) {
    std::string name = program_form(std::filesystem::relative(entry.path(), root));
    if (entry.is_directory()) name += "\\";
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace zip_test
