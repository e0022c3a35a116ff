#include "updater/package_install.h"

#include "updater/delete_tree.h"
#include "updater/dll_functions.h"
#include "updater/gbk_path.h"
#include "updater/install_items.h"
#include "updater/install_run.h"
#include "updater/kernel.h"
#include "updater/list_files.h"
#include "updater/main_window_units.h"
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

// A message box for every target that did not end fully updated.
void tell_about_target(const TargetInstall& done) {
  if (!done.is_directory)
    tell(done.target + "目录不存在");
  else if (done.install.outcome != RootInstall::Outcome::Installed)
    tell(failure_message("安装到 " + done.root + " 失败", done.install));
}

InstallEnd install_staged(const InstallRow& row, const std::string& staging, const std::vector<std::string>& targets,
                          const TargetInstalled& each) {
  const std::vector<std::string> files = ListFiles(staging);
  // The walk handled window messages: the operator may have closed the window.
  if (!window::loaded()) return InstallEnd::WindowClosed;
  const std::vector<InstallItem> items = pick_install_items(files, row.markers);
  for (const std::string& target : targets) {
    TargetInstall done;
    done.target = target;
    done.root = with_backslash(target);
    done.is_directory = dll::path_is_directory(dll::to_utf16(target));
    // Each root ends either wholly updated or as it was; a root that failed
    // is left untouched, plug-in list included, and the next one goes on.
    if (done.is_directory) done.install = install_into_root(done.root, items, row);
    if (each) each(done);
  }
  return InstallEnd::Done;
}

}  // namespace

InstallEnd install_package(Package package, const std::vector<std::string>& targets, const TargetInstalled& each) {
  const InstallRun run = InstallRun::install(package);
  if (!run.running()) return InstallEnd::Refused;
  const InstallRow& row = install_row(package);
  const std::string staging = in_program_directory(row.staging);
  if (!unpack(row, staging)) return InstallEnd::UnpackFailed;
  if (row.markers.empty()) return InstallEnd::Done;  // the tools: unpacked is installed
  return install_staged(row, staging, targets, each);
}

void install_from_staging(const InstallRow& row, const std::string& staging) {
  if (install_staged(row, staging, split_targets(window::content(row.target_box)), tell_about_target) ==
      InstallEnd::Done)
    tell("安装完成");
}

void InstallPackage(Package package) {
  const InstallRow& row = install_row(package);
  const InstallEnd end = install_package(package, split_targets(window::content(row.target_box)), tell_about_target);
  if (end == InstallEnd::UnpackFailed) tell_without_parent(row.unpack_failure);
  if (end == InstallEnd::Done) tell("安装完成");
}

void InstallTools() {
  const InstallEnd end = install_package(Package::Tools, {}, nullptr);
  if (end == InstallEnd::UnpackFailed) tell_without_parent(install_row(Package::Tools).unpack_failure);
  if (end == InstallEnd::Done) tell("安装完成");
}

}  // namespace updater
