#include "updater/rollback_button.h"

#include <optional>

#include "updater/dll_functions.h"
#include "updater/gbk_path.h"
#include "updater/install_items.h"
#include "updater/install_rows.h"
#include "updater/install_run.h"
#include "updater/kernel.h"
#include "updater/main_window_units.h"

namespace updater {
namespace {

void tell(const std::string& text) { kernel::show_message(text, 0, window::kMainWindow, 0); }

std::optional<Package> chosen_package() {
  for (const RollbackChoice& choice : kRollbackChoices)
    if (window::checked(choice.radio_box)) return choice.package;
  return std::nullopt;
}

}  // namespace

std::string rollback_failure(const std::string& root, const Rollback& rollback) {
  std::string message = "回滚 " + root + " 失败\r\n";
  if (rollback.outcome == Rollback::Outcome::FilesInUse) return message + blocked_file_lines(rollback.blocked);
  message += "未能恢复:";
  for (const std::string& relative : rollback.not_restored) message += "\r\n" + relative;
  return message + "\r\n备份在 " + rollback.backup_folder;
}

bool roll_back_package(Package package, const std::vector<std::string>& targets, const TargetRolledBack& each) {
  const InstallRun run = InstallRun::rollback();
  if (!run.running()) return false;
  const InstallRow& row = install_row(package);
  for (const std::string& target : targets) {
    TargetRollback done;
    done.target = target;
    done.root = with_backslash(target);
    done.is_directory = dll::path_is_directory(dll::to_utf16(target));
    if (done.is_directory) done.rollback = roll_back_last_install(done.root, row.staging);
    if (each) each(done);
  }
  return true;
}

void RollBackLastInstall() {
  const std::optional<Package> package = chosen_package();
  if (!package) return;
  bool any_rolled_back = false;
  const auto tell_about = [&any_rolled_back](const TargetRollback& done) {
    if (!done.is_directory) {
      tell(done.target + "目录不存在");
      return;
    }
    switch (done.rollback.outcome) {
      case Rollback::Outcome::RolledBack: any_rolled_back = true; break;
      case Rollback::Outcome::NoBackup: tell(done.target + " 没有可回滚的安装"); break;
      case Rollback::Outcome::FilesInUse:
      case Rollback::Outcome::Incomplete: tell(rollback_failure(done.root, done.rollback)); break;
    }
  };
  const std::vector<std::string> targets = split_targets(window::content(install_row(*package).target_box));
  if (roll_back_package(*package, targets, tell_about) && any_rolled_back) tell("回滚完成");
}

}  // namespace updater
