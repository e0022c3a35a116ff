#pragma once

#include <string>
#include <vector>

#include "updater/install_items.h"

// Copying a package's items into one server root.
namespace updater {

enum class PlugListFiles { Copy, Skip };

// Creates the directories of `relative` below `root` (ending in "\") that
// do not exist yet. Failures show later, when the copy fails.
void make_directories_on_the_way(const std::string& root, const std::string& relative);

// Copies every item to root + its relative path, overwriting, in list order,
// creating directories on the way. Stops at the first copy that fails and
// gives false.
bool copy_items(const std::string& root, const std::vector<InstallItem>& items, PlugListFiles plug_list_files);

}  // namespace updater
