#pragma once

#include <string>
#include <vector>

namespace updater {

// The full paths of all files below the directory: a directory's own files
// first, then those of each subdirectory, each level in the order the file
// system gives the names. Window messages are handled after every name, so
// the window stays alive during a long walk (and other handlers may run).
std::vector<std::string> ListFiles(const std::string& directory);

}  // namespace updater
