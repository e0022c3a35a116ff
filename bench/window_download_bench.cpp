// How much the window costs a download: the same file fetched through the
// updater's main window (click, progress display, speed, the check at the
// end) and by the download engine alone with the same task parameters, in
// the same run. Prints both times and their ratio; the window may cost at
// most a fifth.
// Usage (under Wine, a display, nginx serving the file; see
// bench/run-window-download-bench): window_download_bench URL [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/runtime_app.h"
#include "units/window_units.h"
#include "updater/engine_commands.h"
#include "updater/main_window_units.h"
#include "updater/package_download.h"
#include "updater/program_image.h"
#include "updater/updater_state.h"

namespace {

int32_t no_entry() { return 0; }

units::WindowUnits& layer() {
  static units::WindowUnits instance;
  return instance;
}

double seconds_since(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void pump() { rt::RuntimeApp::current()->process_pending_messages(); }

struct WindowTimes {
  double archive_in_place;  // the download itself: until the archive is replaced
  double idle;              // and the digests and the check that follow it
};

WindowTimes through_the_window(const std::string& url, const std::string& archive) {
  updater::UpdaterState& s = updater::state();
  s.set_entry(updater::Section::EngineFree, {url, ""});
  const HWND button = static_cast<HWND>(
      layer().live_control(updater::window::kMainWindow, updater::window::unit_id("按钮_下载霁川")));
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  SendMessageA(button, BM_CLICK, 0, 0);
  WindowTimes times{-1, -1};
  do {
    pump();
    if (times.archive_in_place < 0 && GetFileAttributesA(archive.c_str()) != INVALID_FILE_ATTRIBUTES)
      times.archive_in_place = seconds_since(start);
    // As the program's message loop does, wake for what the download's
    // thread sends the window (its progress writes wait for that). The
    // program itself never wakes without a message; this loop looks for the
    // archive every 5 ms (at most 5 ms late of some 700), since a look every
    // millisecond cost the download's own threads time in the server that
    // all Wine threads share.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (s.download_busy != 0);
  times.idle = seconds_since(start);
  return times;
}

std::atomic<bool> g_engine_done{false};

int32_t RT_STDCALL note_the_end(int32_t code, intptr_t, int32_t, int32_t, intptr_t) {
  if (code == downlib::kTaskEnded) g_engine_done = true;
  return 0;
}

double engine_alone(const std::string& url, const std::string& target) {
  downlib::TaskParam param;
  downlib::init_task_param(param);
  param.Mode = 4096;
  downlib::assign_text(param.Referer, "");
  param.ThreadCount = updater::state().processor_count;
  downlib::assign_text(param.SavePath, target.c_str());
  downlib::assign_text(param.Url, url.c_str());
  param.ConnectTimeout = param.SendTimeout = param.ReceiveTimeout = 5000;
  param.EventCallback = note_the_end;
  downlib::DownloadObject downloader;
  g_engine_done = false;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!updater::engine::start(downloader, param)) return -1;
  while (!g_engine_done) Sleep(1);
  const double elapsed = seconds_since(start);
  downlib::release_task_param(param);
  return elapsed;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_download_bench URL [ROUNDS]\n");
    return 2;
  }
  const std::string url = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  updater::set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");  // the checks fail at once
  static rt::RuntimeApp app(updater::program_header(), no_entry, layer());
  app.initialise();
  if (!layer().load_window(updater::window::kMainWindow, false, nullptr)) return 1;
  pump();

  const std::string directory = updater::state().program_directory;
  const std::string archive = directory + "\\霁川.zip", alone = directory + "\\engine-alone.bin";
  std::vector<double> window_times, idle_times, engine_times;
  for (int round = 0; round < rounds; ++round) {
    DeleteFileA(alone.c_str());
    engine_times.push_back(engine_alone(url, alone));
    DeleteFileA(archive.c_str());
    const WindowTimes times = through_the_window(url, archive);
    window_times.push_back(times.archive_in_place);
    idle_times.push_back(times.idle);
    std::printf("round %d: window %.2f s (idle again after %.2f s), engine alone %.2f s\n", round + 1,
                times.archive_in_place, times.idle, engine_times.back());
  }
  DeleteFileA(alone.c_str());
  const double window = median(window_times), engine = median(engine_times);
  std::printf("median: window %.2f s (idle after %.2f s), engine alone %.2f s, window / engine %.3f (at most 1.200)\n",
              window, median(idle_times), engine, window / engine);
  return 0;
}
