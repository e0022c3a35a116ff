#pragma once

#include <string>
#include <vector>

#include "updater/backup_set.h"
#include "updater/install_items.h"
#include "updater/step_result.h"

// Copying a package's items into one server root, each change kept in the
// install's backup before it is made.
namespace updater {

enum class PlugListFiles { Copy, Skip };

// Creates the directories of `relative` below `root` (ending in "\") that
// do not exist yet, each noted in the backup first. A failed creation shows
// later, when the copy fails.
Result<void> make_directories_on_the_way(const std::string& root, const std::string& relative, BackupSet& backup);

// Copies every item to root + its relative path, overwriting, in list order,
// creating directories on the way. Stops at the first step that fails and
// gives its reason.
Result<void> copy_items(const std::string& root, const std::vector<InstallItem>& items, PlugListFiles plug_list_files,
                        BackupSet& backup);

}  // namespace updater
