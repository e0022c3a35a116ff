#include "updater/main_window.h"

#include <windows.h>

#include <cstring>

#include "updater/command_mode.h"
#include "updater/dll_functions.h"
#include "updater/engine_commands.h"
#include "updater/kernel.h"
#include "updater/main_window_units.h"
#include "updater/package_download.h"
#include "updater/package_install.h"
#include "updater/rollback_button.h"
#include "updater/updater_state.h"
#include "updater/version_check.h"

namespace updater {
namespace {

int32_t processor_count() {
  // A zeroed 36-byte SYSTEM_INFO in the 32-bit layout is enough room here:
  // the record is larger in the 64-bit build, so the buffer is too.
  SYSTEM_INFO info;
  std::memset(&info, 0, sizeof info);
  dll::get_system_info(info);
  return static_cast<int32_t>(info.dwNumberOfProcessors);
}

}  // namespace

rt::EventAnswer OnMainWindowCreated(const rt::EventArguments&) {
  UpdaterState& s = state();
  s.program_directory = kernel::get_program_directory() + "\\";
  s.processor_count = processor_count();
  ComputeLocalDigests();
  const std::string no = "0", day = "24";
  window::set_checked("选择框_检查更新", kernel::read_config_item(s.config_file(), "Download", "Auto", &no) == "1");
  window::set_caption("编辑框1", kernel::read_config_item(s.config_file(), "Download", "Time", &day));
  s.auto_check_base_tick = static_cast<uint32_t>(kernel::tick_count());
  window::set_checked("单选框2", true);
  // A command from the command line runs the check itself when it needs one.
  if (!command_given()) updater::CheckForUpdates();
  return rt::no_answer();
}

rt::EventAnswer CheckForUpdates(const rt::EventArguments&) {
  updater::CheckForUpdates();
  return rt::no_answer();
}

rt::EventAnswer SaveAutoCheckSettings(const rt::EventArguments&) {
  updater::SaveAutoCheckSettings();
  return rt::no_answer();
}

rt::EventAnswer SelectTestEdition(const rt::EventArguments&) {
  updater::SelectTestEdition();
  return rt::no_answer();
}

rt::EventAnswer SelectFreeEdition(const rt::EventArguments&) {
  updater::SelectFreeEdition();
  return rt::no_answer();
}

rt::EventAnswer OnCheckTimer(const rt::EventArguments&) {
  updater::OnCheckTimer();
  return rt::no_answer();
}

rt::EventAnswer StartDownloadClickedEngine(const rt::EventArguments&) {
  StartDownloadClicked(Package::Engine);
  return rt::no_answer();
}

rt::EventAnswer StartDownloadClickedFeature(const rt::EventArguments&) {
  StartDownloadClicked(Package::Feature);
  return rt::no_answer();
}

rt::EventAnswer StartDownloadClickedAntiCheat(const rt::EventArguments&) {
  StartDownloadClicked(Package::AntiCheat);
  return rt::no_answer();
}

rt::EventAnswer StartDownloadClickedTools(const rt::EventArguments&) {
  StartDownloadClicked(Package::Tools);
  return rt::no_answer();
}

rt::EventAnswer InstallPackageEngine(const rt::EventArguments&) {
  InstallPackage(Package::Engine);
  return rt::no_answer();
}

rt::EventAnswer InstallPackageFeature(const rt::EventArguments&) {
  InstallPackage(Package::Feature);
  return rt::no_answer();
}

rt::EventAnswer InstallPackageAntiCheat(const rt::EventArguments&) {
  InstallPackage(Package::AntiCheat);
  return rt::no_answer();
}

rt::EventAnswer InstallTools(const rt::EventArguments&) {
  updater::InstallTools();
  return rt::no_answer();
}

rt::EventAnswer RollBackLastInstall(const rt::EventArguments&) {
  updater::RollBackLastInstall();
  return rt::no_answer();
}

// A download still running is stopped first, so that its file is unmapped
// (and, incomplete, removed) before the process ends.
void OnProgramExit() {
  UpdaterState& s = state();
  engine::stop(s.downloader);
  s.clear_entries();
  for (size_t i = 0; i < kPackageCount; ++i) s.set_local_digest(static_cast<Package>(i), std::string());
  downlib::release_task_param(s.task_param);
}

}  // namespace updater
