#include "updater/plug_list.h"

#include <algorithm>

#include "platform/file_io.h"
#include "updater/kernel.h"

namespace updater {

const std::vector<std::string> kRetiredPlugIns = {"KTPLUGIN.DLL", "RVEXTENDX86.DLL", "RVEXTENDX64.DLL",
                                                  "HSP.DLL",      "TQGM2.DLL",       "TQGM2LOAD.DLL"};

std::optional<std::string> rewritten_plug_list(const std::string& list, const std::vector<std::string>& names) {
  if (list.empty()) return std::nullopt;
  std::string kept;
  std::vector<std::string> kept_lines;
  for (const std::string& line : kernel::split_text(list, "\r\n")) {
    if (line.empty()) continue;
    const std::string upper = kernel::to_upper(line);
    if (std::find(kRetiredPlugIns.begin(), kRetiredPlugIns.end(), upper) != kRetiredPlugIns.end()) continue;
    kept += line + "\r\n";
    kept_lines.push_back(line);
  }
  std::string output = kept;
  for (const std::string& name : names)
    if (std::find(kept_lines.begin(), kept_lines.end(), name) == kept_lines.end()) output += name + "\r\n";
  return output;
}

bool UpdatePlugList(const std::string& root, const std::vector<std::string>& names) {
  const std::string directory = root + "mir200";
  const std::string file = root + kPlugListPath;
  const std::optional<std::string> output = rewritten_plug_list(kernel::read_text_file(file), names);
  if (!output) return true;
  const std::string temporary = kernel::make_temp_file_name(directory);
  if (kernel::write_text_file(temporary, *output) && platform::replace_file(temporary, file)) return true;
  kernel::remove_file(temporary);
  return false;
}

}  // namespace updater
