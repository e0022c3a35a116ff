#include "updater/rollback_button.h"

#include <optional>

#include "updater/dll_functions.h"
#include "updater/gbk_path.h"
#include "updater/install_items.h"
#include "updater/install_rows.h"
#include "updater/install_run.h"
#include "updater/kernel.h"
#include "updater/main_window_units.h"
#include "updater/restore.h"

namespace updater {
namespace {

void tell(const std::string& text) { kernel::show_message(text, 0, window::kMainWindow, 0); }

std::optional<Package> chosen_package() {
  for (const RollbackChoice& choice : kRollbackChoices)
    if (window::checked(choice.radio_box)) return choice.package;
  return std::nullopt;
}

std::string rollback_failure(const std::string& root, const Rollback& rollback) {
  std::string message = "回滚 " + root + " 失败\r\n";
  if (rollback.outcome == Rollback::Outcome::FilesInUse) return message + blocked_file_lines(rollback.blocked);
  message += "未能恢复:";
  for (const std::string& relative : rollback.not_restored) message += "\r\n" + relative;
  return message + "\r\n备份在 " + rollback.backup_folder;
}

}  // namespace

void RollBackLastInstall() {
  const InstallRun run = InstallRun::rollback();
  if (!run.running()) return;
  const std::optional<Package> package = chosen_package();
  if (!package) return;
  const InstallRow& row = install_row(*package);
  bool any_rolled_back = false;
  for (const std::string& target : split_targets(window::content(row.target_box))) {
    if (!dll::path_is_directory(dll::to_utf16(target))) {
      tell(target + "目录不存在");
      continue;
    }
    const std::string root = with_backslash(target);
    const Rollback rollback = roll_back_last_install(root, row.staging);
    switch (rollback.outcome) {
      case Rollback::Outcome::RolledBack: any_rolled_back = true; break;
      case Rollback::Outcome::NoBackup: tell(target + " 没有可回滚的安装"); break;
      case Rollback::Outcome::FilesInUse:
      case Rollback::Outcome::Incomplete: tell(rollback_failure(root, rollback)); break;
    }
  }
  if (any_rolled_back) tell("回滚完成");
}

}  // namespace updater
