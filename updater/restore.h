#pragma once

#include <string>
#include <vector>

#include "updater/backup_set.h"
#include "updater/preflight.h"

// Putting a server root back as it was before an install, from the
// install's backup: after a failed install, and when the operator rolls the
// last install back.
namespace updater {

// Deletes the files the install created (the last first), copies the
// replaced files back from the backup, and removes the directories it
// created (the last first) when they are empty: a directory that now holds
// files the install did not put there stays. Gives the relative paths that
// could not be put back; empty when the root is as it was.
std::vector<std::string> restore_backup(const std::string& root, const Backup& backup);

// The files a restore would overwrite or delete, for the pre-flight.
std::vector<std::string> files_a_restore_touches(const Backup& backup);

struct Rollback {
  enum class Outcome {
    RolledBack,  // the root is as it was before the package's last install
    NoBackup,    // nothing to roll back
    FilesInUse,  // nothing was touched: see `blocked`
    Incomplete,  // see `not_restored`; the backup stays for another try
  };
  Outcome outcome = Outcome::NoBackup;
  std::vector<BlockedFile> blocked;
  std::vector<std::string> not_restored;
  std::string backup_folder;
};

// Restores the newest backup of the package's installs in the root (ending
// in "\") that has not been rolled back yet, after a pre-flight of the files
// it touches. Pressed again, it goes one install further back.
Rollback roll_back_last_install(const std::string& root, const std::string& package);

}  // namespace updater
