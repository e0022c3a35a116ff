#include "updater/root_install.h"

#include "platform/file_attributes.h"
#include "updater/backup_set.h"
#include "updater/install_copy.h"
#include "updater/kernel.h"
#include "updater/plug_list.h"
#include "updater/restore.h"

namespace updater {
namespace {

PlugListFiles plug_list_files_of(const InstallRow& row) {
  return row.skips_plug_list_files ? PlugListFiles::Skip : PlugListFiles::Copy;
}

bool is_skipped(const InstallItem& item, PlugListFiles plug_list_files) {
  return plug_list_files == PlugListFiles::Skip && kernel::find_text_ignoring_case(item.source, "PlugList.txt") >= 1;
}

// Every file in the root that the install would write.
std::vector<std::string> files_written(const std::vector<InstallItem>& items, const InstallRow& row) {
  std::vector<std::string> files;
  for (const InstallItem& item : items)
    if (!is_skipped(item, plug_list_files_of(row))) files.push_back(item.relative);
  if (!row.plug_ins.empty()) files.push_back(kPlugListPath);
  return files;
}

Result<void> rewrite_plug_list(const std::string& root, const InstallRow& row, BackupSet& backup) {
  if (row.plug_ins.empty()) return {};
  // A root without a list gets none, so there is nothing to keep.
  if (platform::path_kind(root + kPlugListPath) == platform::PathKind::File)
    UPDATER_TRY(backup.keep_before_writing(kPlugListPath));
  if (!UpdatePlugList(root, row.plug_ins)) return Failure{std::string("改写 ") + kPlugListPath + " 失败"};
  return {};
}

}  // namespace

RootInstall install_into_root(const std::string& root, const std::vector<InstallItem>& items, const InstallRow& row) {
  RootInstall install;
  install.blocked = find_blocked_files(root, files_written(items, row));
  if (!install.blocked.empty()) {
    install.outcome = RootInstall::Outcome::FilesInUse;
    return install;
  }
  Result<BackupSet> begun = BackupSet::begin(root, row.staging, platform::local_timestamp());
  if (!begun.ok()) {
    install.outcome = RootInstall::Outcome::Failed;
    install.reason = begun.reason();
    return install;
  }
  BackupSet& backup = begun.value();
  install.backup_folder = backup.backup().folder;
  Result<void> step = copy_items(root, items, plug_list_files_of(row), backup);
  if (step.ok()) step = rewrite_plug_list(root, row, backup);
  if (step.ok()) {
    backup.finish(BackupState::Complete);
  } else {
    install.outcome = RootInstall::Outcome::Failed;
    install.reason = step.reason();
    install.not_restored = restore_backup(root, backup.backup());
    // A root not wholly put back keeps its backup open: the rollback button
    // finishes the work once whatever stood in the way is gone.
    if (install.not_restored.empty()) backup.finish(BackupState::Restored);
  }
  prune_backups(root, row.staging);
  return install;
}

std::string failure_message(const std::string& headline, const RootInstall& install) {
  std::string message = headline + "\r\n";
  if (install.outcome == RootInstall::Outcome::FilesInUse) return message + blocked_file_lines(install.blocked);
  message += install.reason;
  if (install.not_restored.empty()) return message;
  message += "\r\n未能恢复:";
  for (const std::string& relative : install.not_restored) message += "\r\n" + relative;
  return message + "\r\n备份在 " + install.backup_folder;
}

}  // namespace updater
