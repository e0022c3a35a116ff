#include "updater/version_check.h"

#include <cctype>

#include "updater/kernel.h"
#include "updater/main_window_units.h"
#include "updater/updater_state.h"

namespace updater {
namespace {

bool digest_present(const std::string& digest) { return digest != kEmptyDigest; }

void show_verdict(Package package, const std::string& remote, const std::string& local, CheckOutcome& outcome) {
  const char* label = units_of(package).verdict_label;
  const bool newer = !same_digest(remote, local);
  if (newer) {
    window::set_caption(label, "发现新版");
    window::set_text_colour(label, window::kRed);
  } else {
    window::set_caption(label, "最新版");
    window::set_text_colour(label, window::kGreen);
  }
  outcome.verdicts.push_back({package, local, remote, newer});
}

void show_failure(const char* text, CheckOutcome& outcome) {
  window::set_caption(kStatusLine, text);
  outcome.failure = text;
}

// Steps 8-12 of a check: false when a digest is missing and the check ends.
bool show_verdicts(const std::string& file, CheckOutcome& outcome) {
  UpdaterState& s = state();
  const std::string engine_local = s.local_digest(Package::Engine);
  if (window::checked("单选框1")) {
    if (s.entry(Section::EngineTest).md5.empty()) {
      show_failure("霁川MD5 错误", outcome);
      return false;
    }
    // Read again from the file, as the check has always done.
    show_verdict(Package::Engine, kernel::read_config_item(file, "霁川", "MD5", nullptr), engine_local, outcome);
  }
  if (window::checked("单选框2")) {
    const std::string remote = s.entry(Section::EngineFree).md5;
    if (remote.empty()) {
      show_failure("霁川MD5 错误", outcome);
      return false;
    }
    show_verdict(Package::Engine, remote, engine_local, outcome);
  }
  struct Row {
    Section section;
    Package package;
    const char* error;
  } rows[] = {
      {Section::Feature, Package::Feature, "功能插件MD5 错误"},
      {Section::AntiCheat, Package::AntiCheat, "反挂插件MD5 错误"},
      {Section::Other, Package::Tools, "工具MD5 错误"},
  };
  for (const Row& row : rows) {
    const std::string remote = s.entry(row.section).md5;
    if (remote.empty()) {
      show_failure(row.error, outcome);
      return false;
    }
    show_verdict(row.package, remote, s.local_digest(row.package), outcome);
  }
  return true;
}

}  // namespace

bool same_digest(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

void ComputeLocalDigests() {
  UpdaterState& s = state();
  for (size_t i = 0; i < kPackageCount; ++i) {
    const auto package = static_cast<Package>(i);
    s.set_local_digest(package, kernel::file_digest(s.program_directory + "\\" + units_of(package).archive));
  }
  for (size_t i = 0; i < kPackageCount; ++i) {
    const auto package = static_cast<Package>(i);
    if (digest_present(s.local_digest(package))) window::set_disabled(units_of(package).install_button, false);
  }
}

CheckOutcome CheckForUpdates() {
  CheckOutcome outcome;
  ComputeLocalDigests();
  window::set_caption(kStatusLine, "");
  const std::string configuration = kernel::fetch_text(config_url());
  if (kernel::find_text(configuration, "反挂") == -1) {
    show_failure(kRemoteConfigUnread, outcome);
    return outcome;
  }
  UpdaterState& s = state();
  s.clear_entries();
  const std::string file = kernel::make_temp_file_name(kernel::get_program_directory());
  if (kernel::write_text_file(file, configuration)) {
    // The entries are read in this order: 霁川, 功能, 反挂, 其他, 正式.
    for (Section section :
         {Section::EngineTest, Section::Feature, Section::AntiCheat, Section::Other, Section::EngineFree}) {
      const char* name = kSectionNames[static_cast<size_t>(section)];
      PackageEntry entry;
      entry.url = kernel::read_config_item(file, name, "URL", nullptr);
      entry.md5 = kernel::read_config_item(file, name, "MD5", nullptr);
      s.set_entry(section, std::move(entry));
    }
    outcome.complete = show_verdicts(file, outcome);
  }
  kernel::remove_file(file);
  return outcome;
}

void SaveAutoCheckSettings() {
  UpdaterState& s = state();
  std::string value = "0";
  if (window::checked("选择框_检查更新")) {
    value = "1";
    s.auto_check_base_tick = static_cast<uint32_t>(kernel::tick_count());
  }
  kernel::write_config_item(s.config_file(), "Download", "Auto", value);
  kernel::write_config_item(s.config_file(), "Download", "Time", window::content("编辑框1"));
}

void SelectTestEdition() { kernel::write_config_item(state().config_file(), "霁川版本", "版本", "0"); }

void SelectFreeEdition() { kernel::write_config_item(state().config_file(), "霁川版本", "版本", "1"); }

void OnCheckTimer() {
  if (!window::checked("选择框_检查更新")) return;
  UpdaterState& s = state();
  const double elapsed = static_cast<double>(kernel::tick_count()) -
                         static_cast<double>(static_cast<int32_t>(s.auto_check_base_tick.load()));
  const int32_t hours = kernel::to_integer(window::content("编辑框1"));
  if (elapsed - static_cast<double>(hours) * 3600000.0 > 1e-7) {
    s.auto_check_base_tick = static_cast<uint32_t>(kernel::tick_count());
    CheckForUpdates();
  }
}

}  // namespace updater
