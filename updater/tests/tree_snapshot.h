#pragma once

#include <map>
#include <string>

namespace updater::testing {

// Every file (relative path → content) and directory (relative path →
// "<directory>") below a root, for comparing a server tree before and after;
// the install's backup folder left out unless asked for.
enum class BackupFolder { Leave, Include };
using Tree = std::map<std::string, std::string>;
Tree snapshot(const std::string& root, BackupFolder backup_folder = BackupFolder::Leave);

}  // namespace updater::testing
