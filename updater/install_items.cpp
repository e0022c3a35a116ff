#include "updater/install_items.h"

#include "updater/kernel.h"

namespace updater {

std::vector<InstallItem> pick_install_items(const std::vector<std::string>& files,
                                            const std::vector<std::string>& markers) {
  std::vector<InstallItem> items;
  for (const std::string& file : files) {
    for (const std::string& marker : markers) {
      // 1-based byte position of the marker's backslash: the relative path
      // is what follows it, the last (length - position) bytes.
      const int32_t position = kernel::find_text_ignoring_case(file, marker);
      if (position < 1) continue;
      items.push_back({file, file.substr(static_cast<size_t>(position))});
    }
  }
  return items;
}

std::vector<std::string> split_targets(const std::string& edit_box_content) {
  return kernel::split_text(edit_box_content, "\r\n");
}

}  // namespace updater
