// --download: the download buttons' routine for each package in turn,
// waited for on the window thread while it handles the messages the
// download's threads send it.
#include <windows.h>

#include <algorithm>

#include "updater/command_line.h"
#include "updater/command_runs.h"
#include "updater/console_output.h"
#include "updater/main_window_units.h"
#include "updater/package_download.h"
#include "updater/pump_messages.h"
#include "updater/updater_state.h"

namespace updater {
namespace {

constexpr DWORD kProgressIntervalMs = 100;

// The progress of one download on the error stream, rewritten in place,
// when that stream is a terminal; a file or a pipe gets none of it.
class ProgressLine {
 public:
  explicit ProgressLine(std::string status)
      : m_status(std::move(status)), m_shown(console::is_terminal(console::Stream::Error)) {}
  ~ProgressLine() {
    if (m_shown && m_width > 0) console::write(console::Stream::Error, "\r" + std::string(m_width, ' ') + "\r");
  }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // What the window's progress display shows right now.
  void update() {
    if (!m_shown) return;
    const UpdaterState& s = state();
    const std::string text = progress_text(m_status, window::position("进度条1"), s.received_size, s.total_size,
                                           window::caption("标签_每秒速度"));
    if (text == m_last) return;
    // Blanks over what is left of a longer line before.
    const size_t pad = m_width > text.size() ? m_width - text.size() : 0;
    console::write(console::Stream::Error, "\r" + text + std::string(pad, ' '));
    m_width = std::max(m_width, text.size());
    m_last = text;
  }

 private:
  std::string m_status;
  bool m_shown;
  std::string m_last;
  size_t m_width = 0;
};

// Handles the window thread's messages until the download has ended.
void wait_for_the_download(ProgressLine& progress) {
  while (state().download_busy) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kProgressIntervalMs, QS_ALLINPUT);
    PumpMessages();
    progress.update();
  }
}

struct PackageResult {
  bool ok;
  std::string text;  // after the package's name
};

PackageResult download(Package package) {
  const PackageUnits& units = units_of(package);
  switch (begin_package_download(package)) {
    case DownloadStart::NoUrl: return {false, units.empty_url_message};
    // Neither happens here: the command runs one download at a time with
    // the free edition checked, as the window starts.
    case DownloadStart::Busy: return {false, "另一个下载正在进行"};
    case DownloadStart::OtherEdition: return {false, "测试版不从这里下载"};
    case DownloadStart::Started: break;
  }
  {
    ProgressLine progress(units.download_status);
    wait_for_the_download(progress);
  }
  UpdaterState& s = state();
  const DownloadEnd end = s.download_end;
  if (!end.archive_replaced) return {false, end.failure};
  // The check that ended the download has just re-read both digests.
  const std::string local = s.local_digest(package);
  const std::string remote = s.entry(units.download_section).md5;
  if (remote.empty()) return {false, std::string("远程配置中没有 ") + units.archive + " 的 MD5, 无法校验 " + local};
  if (!same_digest(local, remote))
    return {false, std::string("下载的 ") + units.archive + " 与远程 MD5 不符: " + local + " " + remote};
  return {true, "ok " + local};
}

}  // namespace

std::string progress_text(const std::string& status, int32_t percent, int32_t received, int32_t total,
                          const std::string& speed) {
  std::string text = status + " " + std::to_string(percent) + "% " + std::to_string(received < 0 ? 0 : received);
  if (total > 0) text += "/" + std::to_string(total);
  text += " 字节";
  if (!speed.empty()) text += " " + speed;
  return text;
}

int32_t run_download(const std::vector<Package>& packages) {
  // The URLs and digests come from the remote configuration.
  const CheckOutcome check = CheckForUpdates();
  if (check.failure == kRemoteConfigUnread) {
    console::write_line(console::Stream::Error, check.failure);
    return kExitFailed;
  }
  bool every_one = true;
  for (Package package : packages) {
    const PackageResult result = download(package);
    console::write_line(console::Stream::Out, std::string(command_name(package)) + " " + result.text);
    every_one = every_one && result.ok;
  }
  return every_one ? kExitDone : kExitFailed;
}

}  // namespace updater
