#include "updater/package_download.h"

#include "platform/file_io.h"
#include "runtime/runtime_app.h"
#include "updater/dll_functions.h"
#include "updater/download_display.h"
#include "updater/engine_commands.h"
#include "updater/kernel.h"
#include "updater/main_window_units.h"
#include "updater/updater_state.h"
#include "updater/version_check.h"

namespace updater {
namespace {

constexpr const char* kSpeed = "标签_每秒速度";
constexpr const char* kProgressBar = "进度条1";
constexpr int32_t kTimeoutMs = 5000;

// Why a download did not start, on the status line.
constexpr const char* kLeftoverNotRemoved = "下载未能开始：无法删除上次留下的临时文件";
constexpr const char* kNoThread = "下载未能开始";
constexpr const char* kStartRefused = "下载未能开始：下载地址不被接受";

bool program_ending() {
  const rt::RuntimeApp* app = rt::RuntimeApp::current();
  return app && app->ending();
}

// Back to idle without a task: the display goes, the reason stays on the
// status line, and only then may the next click start a download.
void abandon_start(const char* reason) {
  HideProgress();
  window::set_caption(kStatusLine, reason);
  UpdaterState& s = state();
  s.download_end = {false, reason};
  s.download_busy = 0;
}

// Whether the task delivered the whole file: a known, non-zero size, every
// byte of it done, and the partial file where the engine was told to write it.
bool delivered_whole_file(const DownloadJob& job) {
  UpdaterState& s = state();
  int32_t total = s.total_size, done = s.received_size;
  // The task is still held while its last event runs; its own counters are
  // then the final word.
  engine::Snapshot snapshot;
  if (engine::get_state(s.downloader, snapshot)) {
    total = engine::state_value(s.downloader, snapshot, engine::StateKind::TotalSize);
    done = engine::state_value(s.downloader, snapshot, engine::StateKind::BytesDone);
  }
  if (total <= 0 || done != total) return false;
  const std::optional<uint64_t> size = platform::file_size(job.partial_path);
  return size && *size == static_cast<uint64_t>(total);
}

// The archive becomes the downloaded file, or stays as it was. True when it
// was replaced.
bool settle_archive(const DownloadJob& job) {
  if (delivered_whole_file(job) && platform::replace_file(job.partial_path, job.archive_path)) return true;
  kernel::remove_file(job.partial_path);
  return false;
}

void on_size_known() {
  UpdaterState& s = state();
  engine::Snapshot snapshot;
  engine::get_state(s.downloader, snapshot);
  s.total_size = engine::state_value(s.downloader, snapshot, engine::StateKind::TotalSize);
}

void on_received() {
  UpdaterState& s = state();
  engine::Snapshot snapshot;
  engine::get_state(s.downloader, snapshot);
  s.received_size = engine::state_value(s.downloader, snapshot, engine::StateKind::BytesDone);
  if (speed_update_due(dll::get_tick_count64(), s.last_speed_tick)) {
    // The bytes of the interval as they stand: the label reads as "per second".
    const std::string text = speed_text(engine::take_received(s.downloader));
    s.last_speed_tick = dll::get_tick_count64();
    window::set_caption(kSpeed, text);
  }
  s.total_size = engine::state_value(s.downloader, snapshot, engine::StateKind::TotalSize);
  // The bar moves in whole percents: a write per changed percent, not per read.
  const int32_t position = progress_position(s.received_size, s.total_size);
  if (position != s.shown_position) {
    window::set_position(kProgressBar, position);
    s.shown_position = position;
  }
}

void on_task_ended() {
  UpdaterState& s = state();
  const DownloadJob job = s.download;
  const bool replaced = settle_archive(job);
  if (program_ending()) return;
  ComputeLocalDigests();
  CheckForUpdates();
  HideProgress();
  const std::string failure = replaced ? "" : std::string("下载") + units_of(job.package).archive + "失败";
  if (!replaced) window::set_caption(kStatusLine, failure);
  s.download_end = {replaced, failure};
  // Last: until here a click would find the task's files in flux.
  s.download_busy = 0;
}

}  // namespace

void StartDownloadClicked(Package package) {
  if (begin_package_download(package) == DownloadStart::NoUrl)
    kernel::show_message(units_of(package).empty_url_message, 0, window::kMainWindow, 0);
}

DownloadStart begin_package_download(Package package) {
  UpdaterState& s = state();
  if (s.download_busy) return DownloadStart::Busy;
  if (package == Package::Engine && !window::checked("单选框2")) return DownloadStart::OtherEdition;
  const PackageUnits& units = units_of(package);
  const std::string url = s.entry(units.download_section).url;
  if (url.empty()) return DownloadStart::NoUrl;
  s.download_busy = 1;
  DownloadJob job;
  job.package = package;
  job.archive_path = s.program_directory + "\\" + units.archive;
  job.partial_path = job.archive_path + kPartialSuffix;
  job.url = url;
  s.download = job;
  s.total_size = 0;
  s.received_size = 0;
  s.shown_position = -1;

  // Shown before the thread exists, so that a start that fails at once hides
  // it again rather than the other way round.
  ShowProgress(units.download_status);
  // The engine never writes over a file: one left by an interrupted run
  // would send the download elsewhere.
  if (platform::path_exists(job.partial_path) && !kernel::remove_file(job.partial_path)) {
    abandon_start(kLeftoverNotRemoved);
    return DownloadStart::Started;
  }
  if (!kernel::start_thread(StartPackageDownload)) abandon_start(kNoThread);
  return DownloadStart::Started;
}

uint32_t RT_STDCALL StartPackageDownload(uint32_t) {
  UpdaterState& s = state();
  downlib::TaskParam& p = s.task_param;
  p.Mode = 4096;
  downlib::assign_text(p.Referer, "");
  p.ThreadCount = s.processor_count;
  downlib::assign_text(p.SavePath, s.download.partial_path.c_str());
  downlib::assign_text(p.Url, s.download.url.c_str());
  p.ConnectTimeout = kTimeoutMs;
  p.SendTimeout = kTimeoutMs;
  p.ReceiveTimeout = kTimeoutMs;
  p.SpeedLimit = 0;
  p.EventCallback = OnDownloadEvent;
  // Without a task no TaskEnded will come to end the download.
  if (!engine::start(s.downloader, p)) abandon_start(kStartRefused);
  return 0;
}

int32_t RT_STDCALL OnDownloadEvent(int32_t code, intptr_t, int32_t, int32_t, intptr_t) {
  switch (code) {
    case downlib::kSizeKnown: on_size_known(); break;
    case downlib::kReceived: on_received(); break;
    case downlib::kTaskEnded: on_task_ended(); break;
    // The partial file was removed before the start: a file of that name now
    // is someone else's, and a renamed download would never become the archive.
    case downlib::kFileExists: return downlib::kGiveUp;
    default: break;
  }
  return 0;
}

}  // namespace updater
