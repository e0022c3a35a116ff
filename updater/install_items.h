#pragma once

#include <string>
#include <vector>

// Which files of an unpacked package go where: a file belongs to a server
// component when its path holds one of the package's marker directory names,
// and it is installed under the server root at the path that starts with that
// marker.
namespace updater {

struct InstallItem {
  std::string source;    // full path in the staging tree
  std::string relative;  // below the server root, e.g. "Mir200\Envir\MapInfo.txt"
};

// Items in listing order; for each file one item per marker it holds, in
// marker order. Markers match ignoring case and begin with "\".
std::vector<InstallItem> pick_install_items(const std::vector<std::string>& files,
                                            const std::vector<std::string>& markers);

// The server roots of an edit box, one per line. An empty line in the middle
// is an (empty) target; a trailing line break adds none.
std::vector<std::string> split_targets(const std::string& edit_box_content);

}  // namespace updater
