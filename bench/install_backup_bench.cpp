// What the backup costs an install: the engine package, already unpacked,
// installed into two server roots by the per-root step (pre-flight, backup,
// copies, plug-in list, pruning) and by the same copies and plug-in list
// alone, as installs were made before there was a backup, in alternating
// rounds of the same run. Each round starts from roots that hold every file
// of the package already, so every file is replaced and kept. Measured for
// first installs and for the steady state, where the backups of earlier
// rounds stay and each install also removes the oldest one. Prints the
// median of each and what the backup adds.
// Usage (under Wine; see bench/run-install-backup-bench):
//   install_backup_bench STAGING_DIRECTORY [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/runtime_app.h"
#include "units/window_units.h"
#include "updater/delete_tree.h"
#include "updater/dll_functions.h"
#include "updater/install_items.h"
#include "updater/install_rows.h"
#include "updater/kernel.h"
#include "updater/list_files.h"
#include "updater/plug_list.h"
#include "updater/program_image.h"
#include "updater/root_install.h"
#include "updater/updater_state.h"

namespace {

int32_t no_entry() { return 0; }

units::WindowUnits& layer() {
  static units::WindowUnits instance;
  return instance;
}

double milliseconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool is_plug_list(const updater::InstallItem& item) {
  return updater::kernel::find_text_ignoring_case(item.source, "PlugList.txt") >= 1;
}

void make_directories(const std::string& root, const std::string& relative) {
  const std::vector<std::string> parts = updater::kernel::split_text(relative, "\\");
  std::string directory = root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    directory += parts[i];
    if (!updater::dll::path_is_directory(updater::dll::to_utf16(directory))) updater::kernel::make_directory(directory);
    directory += "\\";
  }
}

// The per-root step as it was without pre-flight and backup.
void install_as_before(const std::string& root, const std::vector<updater::InstallItem>& items,
                       const updater::InstallRow& row) {
  for (const updater::InstallItem& item : items) {
    make_directories(root, item.relative);
    if (row.skips_plug_list_files && is_plug_list(item)) continue;
    if (!updater::kernel::copy_file_to(item.source, root + item.relative)) break;
  }
  updater::UpdatePlugList(root, row.plug_ins);
}

// A root that holds the package's files and a plug-in list; its backups stay.
void reset_root(const std::string& root, const std::vector<updater::InstallItem>& items) {
  for (const char* part : {"DBServer", "Mir200", "SelGate", "霁川引擎控制台.exe"}) {
    updater::DeleteTree(root + part);
    updater::kernel::remove_file(root + part);
  }
  CreateDirectoryA(root.c_str(), nullptr);
  for (const updater::InstallItem& item : items) {
    make_directories(root, item.relative);
    updater::kernel::copy_file_to(item.source, root + item.relative);
  }
  updater::kernel::write_text_file(root + "mir200\\PlugList.txt", "hsp.dll\r\nMyShop.dll\r\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: install_backup_bench STAGING_DIRECTORY [ROUNDS]\n");
    return 2;
  }
  const std::string staging = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
  static rt::RuntimeApp app(updater::program_header(), no_entry, layer());
  app.initialise();
  updater::state().program_directory = updater::kernel::get_program_directory() + "\\";

  const updater::InstallRow& row = updater::install_row(updater::Package::Engine);
  const std::vector<updater::InstallItem> items = updater::pick_install_items(updater::ListFiles(staging), row.markers);
  if (items.empty()) {
    std::fprintf(stderr, "no engine files under %s\n", staging.c_str());
    return 1;
  }
  const std::string work = updater::state().program_directory + "install_backup_bench\\";
  updater::DeleteTree(work);
  CreateDirectoryA(work.c_str(), nullptr);
  const std::string roots[] = {work + "root1\\", work + "root2\\"};

  // First installs (no earlier backups), then the steady state, in which
  // three backups are there and each install removes the oldest.
  for (const bool steady : {false, true}) {
    std::vector<double> before, with_backup;
    for (int round = 0; round < rounds; ++round) {
      // Alternating which goes first, so neither always meets a cold cache.
      for (int turn = 0; turn < 2; ++turn) {
        const bool backup_turn = (round + turn) % 2 == 0;
        for (const std::string& root : roots) {
          if (!steady || round == 0) updater::DeleteTree(root + "_updater_backup");
          reset_root(root, items);
        }
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        for (const std::string& root : roots) {
          if (!backup_turn) {
            install_as_before(root, items, row);
          } else if (updater::install_into_root(root, items, row).outcome != updater::RootInstall::Outcome::Installed) {
            std::fprintf(stderr, "the install into %s failed\n", root.c_str());
            return 1;
          }
        }
        (backup_turn ? with_backup : before).push_back(milliseconds_since(start));
      }
    }
    const double b = median(before), w = median(with_backup);
    std::printf(
        "%s, %zu files into two roots, %d rounds: before %.2f ms, with backup %.2f ms (medians): "
        "the backup adds %.2f ms (%.2fx)\n",
        steady ? "steady state" : "first installs", items.size(), rounds, b, w, w - b, w / b);
  }
  updater::DeleteTree(work);
  return 0;
}
