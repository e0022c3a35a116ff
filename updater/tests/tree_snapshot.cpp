#include "updater/tests/tree_snapshot.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/testing/scratch_files.h"
#include "updater/backup_set.h"

namespace updater::testing {
namespace {

namespace fs = std::filesystem;
using test_support::fs_path;
using test_support::program_form;

std::string content_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "<unreadable>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace

Tree snapshot(const std::string& root, BackupFolder backup_folder) {
  Tree tree;
  const fs::path base = fs_path(root);
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(base, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const std::string relative = program_form(fs::relative(it->path(), base).make_preferred());
    std::string with_backslashes = relative;
    for (char& c : with_backslashes)
      if (c == '/') c = '\\';
    if (backup_folder == BackupFolder::Leave && with_backslashes.rfind(kBackupFolder, 0) == 0) {
      if (it->is_directory()) it.disable_recursion_pending();
      continue;
    }
    tree[with_backslashes] = it->is_directory() ? "<directory>" : content_of(it->path());
  }
  return tree;
}

}  // namespace updater::testing
