#include "updater/preflight.h"

#include <set>

#include "platform/file_in_use.h"
#include "platform/file_attributes.h"
#include "updater/gbk_path.h"

namespace updater {

std::vector<BlockedFile> find_blocked_files(const std::string& root, const std::vector<std::string>& relatives) {
  std::vector<BlockedFile> blocked;
  std::set<std::string> tried;
  for (const std::string& relative : relatives) {
    if (!tried.insert(folded_path(relative)).second) continue;
    const std::string path = root + relative;
    if (platform::path_kind(path) != platform::PathKind::File) continue;
    switch (platform::probe_write_access(path)) {
      case platform::WriteAccess::Granted:
      case platform::WriteAccess::Missing: break;
      case platform::WriteAccess::InUse: blocked.push_back({relative, platform::programs_holding(path)}); break;
      case platform::WriteAccess::Denied: blocked.push_back({relative, {}}); break;
    }
  }
  return blocked;
}

std::string blocked_file_lines(const std::vector<BlockedFile>& files) {
  std::string lines;
  for (const BlockedFile& file : files) {
    if (!lines.empty()) lines += "\r\n";
    lines += file.relative;
    if (file.programs.empty()) continue;
    lines += " (";
    for (size_t i = 0; i < file.programs.size(); ++i) lines += (i ? ", " : "") + file.programs[i];
    lines += ")";
  }
  return lines;
}

}  // namespace updater
