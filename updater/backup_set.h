#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "updater/step_result.h"

// What an install changes in a server root, kept so that the root can be
// put back. Every file the install is about to overwrite is first copied to
// <root>\_updater_backup\<package>\<date-time>\ at its relative path, and
// the manifest in that folder lists, in the order they happened, the files
// replaced and the files and directories created. Each line is written
// before its change is made, so that an install cut off halfway (a crash,
// power lost) can still be undone.
namespace updater {

inline constexpr const char* kBackupFolder = "_updater_backup";
inline constexpr const char* kManifestName = "_manifest.txt";
// Backups kept per package and root, not counting failed installs.
inline constexpr size_t kBackupsKept = 3;

enum class BackupState {
  Installing,  // no end line: the install runs, or it was cut off
  Complete,    // the install finished
  Restored,    // the install failed and the root was put back
  RolledBack,  // a rollback put the root back
};

struct BackupChange {
  enum class Kind { Replaced, NewFile, NewDirectory };
  Kind kind;
  std::string relative;  // below the root
  bool operator==(const BackupChange& other) const { return kind == other.kind && relative == other.relative; }
};

struct Backup {
  std::string folder;  // full path, ending in "\"
  std::string name;    // its date-time
  BackupState state = BackupState::Installing;
  std::vector<BackupChange> changes;  // in the order they happened
};

// The backup of one install of a package into one root, while it runs.
class BackupSet {
 public:
  // Makes the new backup folder and its manifest. The root ends in "\"; the
  // package names the folder of its backups (the staging directory's name).
  static Result<BackupSet> begin(const std::string& root, const std::string& package,
                                 const platform::LocalTimestamp& now);

  // Before the file at `relative` is written: an existing file is copied
  // into the backup, a missing one noted as new. A path written before in
  // this install, in any spelling, is kept only the first time.
  Result<void> keep_before_writing(const std::string& relative);
  // Before the directory at `relative` is created.
  Result<void> note_new_directory(const std::string& relative);
  // Writes the end line; false when it could not be written.
  bool finish(BackupState state);

  const Backup& backup() const { return m_backup; }

 private:
  BackupSet(std::string root, Backup backup) : m_root(std::move(root)), m_backup(std::move(backup)) {}
  Result<void> record(BackupChange change);

  std::string m_root;
  Backup m_backup;
  std::set<std::string> m_kept;  // folded relative paths already in the manifest
};

// The package's backups in the root whose manifests can be read, oldest
// first. Folders that are not ours, or whose manifest is damaged, are left
// out (and never removed).
std::vector<Backup> backups_of(const std::string& root, const std::string& package);

// The backup that a rollback restores: the newest one of an install that
// finished or was cut off, and that has not been rolled back.
std::optional<Backup> latest_to_roll_back(const std::string& root, const std::string& package);

// Appends an end line to a backup's manifest.
bool mark_backup(const Backup& backup, BackupState state);

// Removes old backups: of the installs that finished or were cut off the
// newest kBackupsKept stay; of the others only the newest backup of all, so
// that what a failed install replaced can still be looked at.
void prune_backups(const std::string& root, const std::string& package);

}  // namespace updater
