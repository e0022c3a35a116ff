#include "updater/package_install.h"

#include "updater/delete_tree.h"
#include "updater/dll_functions.h"
#include "updater/gbk_path.h"
#include "updater/install_copy.h"
#include "updater/install_items.h"
#include "updater/kernel.h"
#include "updater/list_files.h"
#include "updater/main_window_units.h"
#include "updater/plug_list.h"
#include "updater/updater_state.h"

namespace updater {
namespace {

constexpr const char* kZipUnit = "ZIP压缩1";

void tell(const std::string& text) { kernel::show_message(text, 0, window::kMainWindow, 0); }
void tell_without_parent(const std::string& text) { kernel::show_message(text, 0, 0, 0); }

// The install in progress. Listing the staging tree handles window messages,
// so a second click can arrive in the middle of an install: it is turned
// away, as is an install of the archive a download is about to replace.
class InstallRun {
 public:
  explicit InstallRun(Package package) {
    UpdaterState& s = state();
    if (s.install_busy) return;
    if (s.download_busy && s.download.package == package) return;
    s.install_busy = 1;
    m_running = true;
  }
  ~InstallRun() {
    if (m_running) state().install_busy = 0;
  }
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;
  bool running() const { return m_running; }

 private:
  bool m_running = false;
};

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
  const PlugListFiles plug_list_files = row.skips_plug_list_files ? PlugListFiles::Skip : PlugListFiles::Copy;
  for (const std::string& target : split_targets(window::content(row.target_box))) {
    if (!dll::path_is_directory(dll::to_utf16(target))) {
      tell(target + "目录不存在");
      continue;
    }
    const std::string root = with_backslash(target);
    if (!copy_items(root, items, plug_list_files)) tell("安装到 " + root + " 失败");
    // Also after a failed copy: the files copied so far may need their loaders.
    if (!row.plug_ins.empty()) UpdatePlugList(root, row.plug_ins);
  }
  tell("安装完成");
}

void InstallPackage(Package package) {
  const InstallRun run(package);
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
  const InstallRun run(Package::Tools);
  if (!run.running()) return;
  const InstallRow& row = install_row(Package::Tools);
  if (unpack(row, in_program_directory(row.staging)))
    tell("安装完成");
  else
    tell_without_parent(row.unpack_failure);
}

}  // namespace updater
