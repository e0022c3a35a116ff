#include "updater/install_copy.h"

#include "updater/dll_functions.h"
#include "updater/kernel.h"

namespace updater {

void make_directories_on_the_way(const std::string& root, const std::string& relative) {
  // Split by the kernel, which never cuts a two-byte character whose second
  // byte is the code of "\".
  const std::vector<std::string> parts = kernel::split_text(relative, "\\");
  std::string directory = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    directory += parts[i];
    if (!dll::path_is_directory(dll::to_utf16(directory))) kernel::make_directory(directory);
    directory += "\\";
  }
}

bool copy_items(const std::string& root, const std::vector<InstallItem>& items, PlugListFiles plug_list_files) {
  for (const InstallItem& item : items) {
    make_directories_on_the_way(root, item.relative);
    if (plug_list_files == PlugListFiles::Skip && kernel::find_text_ignoring_case(item.source, "PlugList.txt") >= 1)
      continue;
    if (!kernel::copy_file_to(item.source, root + item.relative)) return false;
  }
  return true;
}

}  // namespace updater
