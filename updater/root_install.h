#pragma once

#include <string>
#include <vector>

#include "updater/install_items.h"
#include "updater/install_rows.h"
#include "updater/preflight.h"

// One server root's part of an install, all or nothing: a pre-flight of the
// files it would replace, then the copies and the plug-in list with every
// change kept in a backup, and on any failure the root put back as it was.
// Window-free: the caller says what happened in its own way.
namespace updater {

struct RootInstall {
  enum class Outcome {
    Installed,
    FilesInUse,  // found before anything was touched: see `blocked`
    Failed,      // see `reason`; put back unless `not_restored` says otherwise
  };
  Outcome outcome = Outcome::Installed;
  std::vector<BlockedFile> blocked;
  std::string reason;
  std::vector<std::string> not_restored;
  std::string backup_folder;  // empty when none was made
};

// Installs the items into the root (ending in "\") as the row says.
RootInstall install_into_root(const std::string& root, const std::vector<InstallItem>& items, const InstallRow& row);

// What to tell the operator about a root that was not installed: the first
// line `headline`, then the files in use, or the reason and what could not
// be put back.
std::string failure_message(const std::string& headline, const RootInstall& install);

}  // namespace updater
