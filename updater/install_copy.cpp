#include "updater/install_copy.h"

#include "platform/file_attributes.h"
#include "updater/dll_functions.h"
#include "updater/kernel.h"

namespace updater {

Result<void> make_directories_on_the_way(const std::string& root, const std::string& relative, BackupSet& backup) {
  // Split by the kernel, which never cuts a two-byte character whose second
  // byte is the code of "\".
  const std::vector<std::string> parts = kernel::split_text(relative, "\\");
  std::string directory = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    directory += parts[i];
    if (!dll::path_is_directory(dll::to_utf16(directory))) {
      // A file in the way stays a file: nothing new to note, and the copy
      // below it fails.
      if (platform::path_kind(directory) == platform::PathKind::Missing)
        UPDATER_TRY(backup.note_new_directory(directory.substr(root.size())));
      kernel::make_directory(directory);
    }
    directory += "\\";
  }
  return {};
}

Result<void> copy_items(const std::string& root, const std::vector<InstallItem>& items, PlugListFiles plug_list_files,
                        BackupSet& backup) {
  for (const InstallItem& item : items) {
    UPDATER_TRY(make_directories_on_the_way(root, item.relative, backup));
    if (plug_list_files == PlugListFiles::Skip && kernel::find_text_ignoring_case(item.source, "PlugList.txt") >= 1)
      continue;
    UPDATER_TRY(backup.keep_before_writing(item.relative));
    if (!kernel::copy_file_to(item.source, root + item.relative)) return Failure{"复制 " + item.relative + " 失败"};
  }
  return {};
}

}  // namespace updater
