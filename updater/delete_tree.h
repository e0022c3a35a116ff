#pragma once

#include <string>

namespace updater {

// Removes the directory and everything below it, read-only files included,
// through the program's declared wide file functions. Whatever cannot be
// removed stays; nothing is reported. A directory link inside the tree is
// removed as a link: what it points at is not touched.
void DeleteTree(const std::string& directory);

}  // namespace updater
