#include "updater/restore.h"

#include "platform/file_attributes.h"
#include "platform/file_io.h"

namespace updater {
namespace {

using Kind = BackupChange::Kind;

bool delete_new_file(const std::string& path) {
  switch (platform::path_kind(path)) {
    case platform::PathKind::Missing: return true;
    case platform::PathKind::Directory: return false;  // not what the install made
    case platform::PathKind::File: break;
  }
  platform::make_writable(path);
  return platform::delete_file(path);
}

bool copy_back(const std::string& saved, const std::string& path) {
  // The installed file may have come read-only from the package.
  if (platform::path_kind(path) == platform::PathKind::File) platform::make_writable(path);
  if (platform::copy_file(saved, path)) return true;
  // A file whose own copy failed was never written: a program that lets
  // others read it but not write it keeps it as it was, and that is back.
  const std::optional<std::string> now = platform::read_whole_file(path);
  return now && now == platform::read_whole_file(saved);
}

}  // namespace

std::vector<std::string> restore_backup(const std::string& root, const Backup& backup) {
  std::vector<std::string> not_restored;
  const auto& changes = backup.changes;
  for (auto it = changes.rbegin(); it != changes.rend(); ++it)
    if (it->kind == Kind::NewFile && !delete_new_file(root + it->relative)) not_restored.push_back(it->relative);
  for (const BackupChange& change : changes)
    if (change.kind == Kind::Replaced && !copy_back(backup.folder + change.relative, root + change.relative))
      not_restored.push_back(change.relative);
  for (auto it = changes.rbegin(); it != changes.rend(); ++it)
    if (it->kind == Kind::NewDirectory) platform::remove_empty_directory(root + it->relative);
  return not_restored;
}

std::vector<std::string> files_a_restore_touches(const Backup& backup) {
  std::vector<std::string> files;
  for (const BackupChange& change : backup.changes)
    if (change.kind != Kind::NewDirectory) files.push_back(change.relative);
  return files;
}

Rollback roll_back_last_install(const std::string& root, const std::string& package) {
  Rollback rollback;
  const std::optional<Backup> backup = latest_to_roll_back(root, package);
  if (!backup) return rollback;
  rollback.backup_folder = backup->folder;
  rollback.blocked = find_blocked_files(root, files_a_restore_touches(*backup));
  if (!rollback.blocked.empty()) {
    rollback.outcome = Rollback::Outcome::FilesInUse;
    return rollback;
  }
  rollback.not_restored = restore_backup(root, *backup);
  if (!rollback.not_restored.empty()) {
    // Not marked: the same backup is there for another try once whatever
    // stood in the way is gone.
    rollback.outcome = Rollback::Outcome::Incomplete;
    return rollback;
  }
  // Should the mark not be written, a second rollback restores the same
  // backup again, which changes nothing.
  mark_backup(*backup, BackupState::RolledBack);
  rollback.outcome = Rollback::Outcome::RolledBack;
  return rollback;
}

}  // namespace updater
