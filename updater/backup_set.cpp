#include "updater/backup_set.h"

#include <algorithm>

#include "platform/file_attributes.h"
#include "platform/file_io.h"
#include "platform/file_search.h"
#include "updater/backup_set_detail.h"
#include "updater/gbk_path.h"

namespace updater {
namespace {

std::string package_folder(const std::string& root, const std::string& package) {
  return root + kBackupFolder + "\\" + package + "\\";
}

bool make_directory_if_missing(const std::string& path) {
  return platform::create_directory(path) || platform::path_kind(path) == platform::PathKind::Directory;
}

// Makes the directories of `relative` (a file's path) below `base`.
bool make_parents(const std::string& base, const std::string& relative) {
  const std::vector<std::string> parts = path_parts(relative);
  std::string directory = base;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    directory += parts[i];
    if (!make_directory_if_missing(directory)) return false;
    directory += "\\";
  }
  return true;
}

struct Entry {
  std::string name;
  uint32_t attributes;
};

std::vector<Entry> entries_of(const std::string& directory) {
  std::vector<Entry> entries;
  platform::FoundEntry found;
  platform::FileSearch* search = platform::find_first(directory + "*.*", found);
  if (!search) return entries;
  do {
    if (found.name != "." && found.name != "..") entries.push_back({found.name, found.attributes});
  } while (platform::find_next(search, found));
  platform::find_close(search);
  return entries;
}

constexpr uint32_t kReparsePoint = 0x400;

// Removes a backup folder and everything in it, read-only copies included.
// A directory link inside is removed as a link; what it points at is kept.
void remove_tree(const std::string& directory) {
  for (const Entry& entry : entries_of(directory)) {
    const std::string path = directory + entry.name;
    if (!(entry.attributes & platform::kAttributeDirectory)) {
      platform::make_writable(path);
      platform::delete_file(path);
    } else if (entry.attributes & kReparsePoint) {
      platform::remove_empty_directory(path);
    } else {
      remove_tree(path + "\\");
    }
  }
  platform::remove_empty_directory(directory);
}

bool is_candidate(const Backup& backup) {
  return backup.state == BackupState::Complete || backup.state == BackupState::Installing;
}

}  // namespace

Result<BackupSet> BackupSet::begin(const std::string& root, const std::string& package,
                                   const platform::LocalTimestamp& now) {
  const std::string packages = root + kBackupFolder + "\\";
  const std::string folder_of_package = package_folder(root, package);
  if (!make_directory_if_missing(packages) || !make_directory_if_missing(folder_of_package))
    return Failure{"无法建立备份目录 " + folder_of_package};
  std::string latest;
  for (const Entry& entry : entries_of(folder_of_package))
    if (detail::is_backup_name(entry.name) && entry.name > latest) latest = entry.name;
  // Another program making a backup in the same folder at the same moment
  // takes the name first; the next millisecond is tried then.
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::string name = detail::next_backup_name(now, latest);
    const std::string folder = folder_of_package + name + "\\";
    latest = name;
    if (!platform::create_directory(folder)) continue;
    if (!platform::append_to_file(folder + kManifestName, detail::manifest_header())) {
      remove_tree(folder);
      break;
    }
    Backup backup;
    backup.folder = folder;
    backup.name = name;
    return BackupSet(root, std::move(backup));
  }
  return Failure{"无法建立备份目录 " + folder_of_package};
}

Result<void> BackupSet::record(BackupChange change) {
  if (!platform::append_to_file(m_backup.folder + kManifestName, detail::manifest_line(change)))
    return Failure{"无法写入备份清单 " + m_backup.folder + kManifestName};
  m_backup.changes.push_back(std::move(change));
  return {};
}

Result<void> BackupSet::keep_before_writing(const std::string& relative) {
  if (!detail::is_safe_relative(relative)) return Failure{"无法备份 " + relative};
  if (!m_kept.insert(folded_path(relative)).second) return {};
  const std::string path = m_root + relative;
  switch (platform::path_kind(path)) {
    case platform::PathKind::Missing: return record({BackupChange::Kind::NewFile, relative});
    // Not a file that could be replaced: writing it will fail, and nothing
    // of it needs keeping.
    case platform::PathKind::Directory: return {};
    case platform::PathKind::File: break;
  }
  if (!make_parents(m_backup.folder, relative) || !platform::copy_file(path, m_backup.folder + relative))
    return Failure{"无法备份 " + relative};
  return record({BackupChange::Kind::Replaced, relative});
}

Result<void> BackupSet::note_new_directory(const std::string& relative) {
  if (!detail::is_safe_relative(relative)) return Failure{"无法备份 " + relative};
  return record({BackupChange::Kind::NewDirectory, relative});
}

bool BackupSet::finish(BackupState state) {
  if (!mark_backup(m_backup, state)) return false;
  m_backup.state = state;
  return true;
}

std::vector<Backup> backups_of(const std::string& root, const std::string& package) {
  const std::string folder_of_package = package_folder(root, package);
  std::vector<Backup> backups;
  for (const Entry& entry : entries_of(folder_of_package)) {
    if (!(entry.attributes & platform::kAttributeDirectory) || !detail::is_backup_name(entry.name)) continue;
    const std::string folder = folder_of_package + entry.name + "\\";
    const std::optional<std::string> text = platform::read_whole_file(folder + kManifestName);
    if (!text) continue;
    std::optional<Backup> backup = detail::parse_manifest(*text);
    if (!backup) continue;
    backup->folder = folder;
    backup->name = entry.name;
    backups.push_back(std::move(*backup));
  }
  std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) { return a.name < b.name; });
  return backups;
}

std::optional<Backup> latest_to_roll_back(const std::string& root, const std::string& package) {
  std::vector<Backup> backups = backups_of(root, package);
  for (auto it = backups.rbegin(); it != backups.rend(); ++it)
    if (is_candidate(*it)) return std::move(*it);
  return std::nullopt;
}

bool mark_backup(const Backup& backup, BackupState state) {
  return platform::append_to_file(backup.folder + kManifestName, detail::manifest_line(state));
}

void prune_backups(const std::string& root, const std::string& package) {
  const std::vector<Backup> backups = backups_of(root, package);
  size_t candidates_seen = 0;
  for (size_t i = backups.size(); i-- > 0;) {
    const bool newest = i + 1 == backups.size();
    const bool keep = is_candidate(backups[i]) ? ++candidates_seen <= kBackupsKept : newest;
    if (!keep) remove_tree(backups[i].folder);
  }
}

}  // namespace updater
