// The download engine over FTP against curl, on the same pyftpdlib server
// in the same run (bench/run-ftp-download-bench starts the server and makes
// the file).
//
//   ftp_download_bench BASE_URL WORK_DIR SERVER_PID
//
// BASE_URL ("ftp://127.0.0.1:PORT") serves /file-256m.bin. Ours with 1 and
// with 4 connections, and `curl -o` (one connection), best of five each,
// interleaved; the throughput ratios against curl and 4 against 1. The
// server is one Python process on one thread: its CPU time over each run's
// wall time says whether it, and not the client, set the pace. Prints the
// times and the ratios; no pass or fail, never a test.

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "downlib/commands.h"
#include "downlib/task_param.h"
#include "runtime/command_call.h"

namespace {

constexpr int64_t kSize = 256ll << 20;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

std::atomic<bool> g_ended{false};
std::atomic<int32_t> g_ended_value{0};

int32_t on_event(int32_t code, intptr_t, int32_t value1, int32_t, intptr_t) {
  if (code == downlib::kTaskEnded) {
    g_ended_value.store(value1);
    g_ended.store(true);
  }
  return 0;
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// CPU seconds (user and system) the process has used so far.
double cpu_seconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::strtod(field.c_str(), nullptr);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Run {
  double seconds = -1;     // -1: the file did not arrive whole
  double server_busy = 0;  // the server's CPU time over the wall time
};

Run run_ours(const std::string& url, const std::string& target, int32_t threads, pid_t server) {
  std::filesystem::remove(target);
  downlib::TaskParam param;
  downlib::init_task_param(param);
  downlib::assign_text(param.Url, url.c_str());
  downlib::assign_text(param.SavePath, target.c_str());
  param.ThreadCount = threads;
  param.EventCallback = on_event;
  downlib::DownloadObject object;
  g_ended = false;
  const double cpu_before = cpu_seconds(server);
  const auto start = Clock::now();
  const bool started = rt::call_command(downlib::Start, {rt::ArgValue::of_ref(&object, downlib::kDownloadObjectTag),
                                                         rt::ArgValue::of_ref(&param, downlib::kTaskParamTag)})
                           .as_bool();
  while (started && !g_ended.load()) std::this_thread::sleep_for(std::chrono::microseconds(200));
  Run run;
  const double seconds = seconds_since(start);
  run.server_busy = (cpu_seconds(server) - cpu_before) / seconds;
  downlib::release_task_param(param);
  const bool whole = started && g_ended_value.load() == kSize && std::filesystem::file_size(target) == uint64_t(kSize);
  std::filesystem::remove(target);
  if (whole) run.seconds = seconds;
  // The task lets go of its object just after TaskEnded.
  while (object.task.load() != nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return run;
}

Run run_curl(const std::string& url, const std::string& target, pid_t server) {
  std::filesystem::remove(target);
  const double cpu_before = cpu_seconds(server);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execlp("curl", "curl", "-s", "-o", target.c_str(), url.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  Run run;
  const double seconds = seconds_since(start);
  run.server_busy = (cpu_seconds(server) - cpu_before) / seconds;
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && std::filesystem::exists(target) &&
                  std::filesystem::file_size(target) == uint64_t(kSize);
  std::filesystem::remove(target);
  if (ok) run.seconds = seconds;
  return run;
}

Run best(const std::vector<Run>& runs) {
  Run result;
  for (const Run& r : runs)
    if (r.seconds > 0 && (result.seconds < 0 || r.seconds < result.seconds)) result = r;
  return result;
}

void print_run(const char* what, const Run& run) {
  if (run.seconds < 0) {
    std::printf("  %-28s failed\n", what);
    return;
  }
  std::printf("  %-28s %7.3f s  %8.1f MiB/s   server CPU %3.0f%% of one core\n", what, run.seconds,
              double(kSize) / (1 << 20) / run.seconds, run.server_busy * 100);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s BASE_URL WORK_DIR SERVER_PID (see bench/run-ftp-download-bench)\n", argv[0]);
    return 2;
  }
  const std::string url = std::string(argv[1]) + "/file-256m.bin";
  const std::string target = std::string(argv[2]) + "/target.bin";
  const auto server = static_cast<pid_t>(std::atoi(argv[3]));

  std::printf("256 MiB from pyftpdlib on 127.0.0.1, best of %d:\n", kRounds);
  std::vector<Run> one, four, curl;
  for (int round = 0; round < kRounds; ++round) {
    one.push_back(run_ours(url, target, 1, server));
    four.push_back(run_ours(url, target, 4, server));
    curl.push_back(run_curl(url, target, server));
  }
  const Run t_one = best(one), t_four = best(four), t_curl = best(curl);
  print_run("ours, 1 connection", t_one);
  print_run("ours, 4 connections", t_four);
  print_run("curl -o (1 connection)", t_curl);
  if (t_curl.seconds > 0 && t_one.seconds > 0)
    std::printf("  throughput ours 1 / curl:  %.2f\n", t_curl.seconds / t_one.seconds);
  if (t_curl.seconds > 0 && t_four.seconds > 0)
    std::printf("  throughput ours 4 / curl:  %.2f\n", t_curl.seconds / t_four.seconds);
  if (t_one.seconds > 0 && t_four.seconds > 0)
    std::printf("  throughput ours 4 / ours 1: %.2f\n", t_one.seconds / t_four.seconds);
  std::printf(
      "  (a server near 100%% of one core is the bottleneck: pyftpdlib serves every\n"
      "   connection from one Python thread)\n");
  return 0;
}
