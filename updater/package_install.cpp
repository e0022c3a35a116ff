#include "updater/package_install.h"

#include "updater/delete_tree.h"
#include "updater/dll_functions.h"
#include "updater/gbk_path.h"
#include "updater/install_items.h"
#include "updater/install_run.h"
#include "updater/kernel.h"
#include "updater/list_files.h"
#include "updater/main_window_units.h"
#include "updater/root_install.h"
#include "updater/updater_state.h"

namespace updater {
namespace {

constexpr const char* kZipUnit = "ZIP压缩1";

void tell(const std::string& text) { kernel::show_message(text, 0, window::kMainWindow, 0); }
void tell_without_parent(const std::string& text) { kernel::show_message(text, 0, 0, 0); }

std::string in_program_directory(const std::string& name) { return state().program_directory + "\\" + name; }

// Unpacks the row's archive into a fresh staging directory.
bool unpack(const InstallRow& row, const std::string& staging) {
  DeleteTree(staging);
  const std::string archive = in_program_directory(units_of(row.package).archive);
  return kernel::unpack_archive(window::kMainWindow, window::unit_id(kZipUnit), archive, staging) == 1;
}

}  // namespace

void install_from_staging(const InstallRow& row, const std::string& staging) {
  const std::vector<std::string> files = ListFiles(staging);
  // The walk handled window messages: the operator may have closed the window.
  if (!window::loaded()) return;
  const std::vector<InstallItem> items = pick_install_items(files, row.markers);
  for (const std::string& target : split_targets(window::content(row.target_box))) {
    if (!dll::path_is_directory(dll::to_utf16(target))) {
      tell(target + "目录不存在");
      continue;
    }
    // Each root ends either wholly updated or as it was; a root that failed
    // is left untouched, plug-in list included, and the next one goes on.
    const std::string root = with_backslash(target);
    const RootInstall install = install_into_root(root, items, row);
    if (install.outcome != RootInstall::Outcome::Installed) tell(failure_message("安装到 " + root + " 失败", install));
  }
  tell("安装完成");
}

void InstallPackage(Package package) {
  const InstallRun run = InstallRun::install(package);
  if (!run.running()) return;
  const InstallRow& row = install_row(package);
  const std::string staging = in_program_directory(row.staging);
  if (!unpack(row, staging)) {
    tell_without_parent(row.unpack_failure);
    return;
  }
  install_from_staging(row, staging);
}

void InstallTools() {
  const InstallRun run = InstallRun::install(Package::Tools);
  if (!run.running()) return;
  const InstallRow& row = install_row(Package::Tools);
  if (unpack(row, in_program_directory(row.staging)))
    tell("安装完成");
  else
    tell_without_parent(row.unpack_failure);
}

}  // namespace updater
