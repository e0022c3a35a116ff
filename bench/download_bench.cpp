// The download engine against curl and aria2c, on the same nginx in the
// same run (bench/run-download-bench starts the server and makes the files).
//
//   download_bench BASE_URL WORK_DIR
//
// BASE_URL serves /file-256m.bin and /file-1g.bin; a request with
// ?slow=S&rate=R gets its range "bytes=S-" at R bytes a second. Cases:
//   1. ours with 4 connections, `curl -o`, `aria2c -x4 -s4`: best of five
//      each, interleaved; throughput ratios ours/aria2c and ours/curl.
//   2. ours with 4 connections while the fourth segment's range comes at a
//      tenth of one connection's speed in case 1: time over case 1's.
//   3. ours on 1 GiB with 4 connections in a child process: its peak
//      resident memory (the file is written with positional writes, so its
//      pages are the page cache's, not the process's).
// Prints each time and the ratios; no pass or fail, never a test.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "downlib/commands.h"
#include "downlib/task_param.h"
#include "runtime/command_call.h"

namespace {

constexpr int64_t kSize = 256ll << 20;
constexpr int64_t kLargeSize = 1ll << 30;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

std::atomic<bool> g_ended{false};
std::atomic<int32_t> g_ended_value{0};
std::atomic<int64_t> g_events{0};

// The program's callback does little per event; so does this one.
int32_t on_event(int32_t code, intptr_t, int32_t value1, int32_t, intptr_t) {
  g_events.fetch_add(1, std::memory_order_relaxed);
  if (code == downlib::kTaskEnded) {
    g_ended_value.store(value1);
    g_ended.store(true);
  }
  return 0;
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// One download by the engine, through its commands; seconds, or -1 when the
// file did not arrive whole.
double run_ours(const std::string& url, const std::string& target, int64_t size) {
  std::filesystem::remove(target);
  downlib::TaskParam param;
  downlib::init_task_param(param);
  downlib::assign_text(param.Url, url.c_str());
  downlib::assign_text(param.SavePath, target.c_str());
  param.ThreadCount = 4;
  param.EventCallback = on_event;
  downlib::DownloadObject object;
  g_ended = false;
  const auto start = Clock::now();
  const bool started = rt::call_command(downlib::Start, {rt::ArgValue::of_ref(&object, downlib::kDownloadObjectTag),
                                                         rt::ArgValue::of_ref(&param, downlib::kTaskParamTag)})
                           .as_bool();
  while (started && !g_ended.load()) std::this_thread::sleep_for(std::chrono::microseconds(200));
  const double seconds = seconds_since(start);
  downlib::release_task_param(param);
  const bool whole = started && g_ended_value.load() == size && std::filesystem::file_size(target) == uint64_t(size);
  std::filesystem::remove(target);
  return whole ? seconds : -1;
}

double run_program(const std::vector<std::string>& argv, const std::string& target) {
  std::filesystem::remove(target);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = seconds_since(start);
  const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && std::filesystem::exists(target) &&
                  std::filesystem::file_size(target) == uint64_t(kSize);
  std::filesystem::remove(target);
  return ok ? seconds : -1;
}

// Peak resident memory (KiB) of this program downloading 1 GiB as a child.
long large_download_peak_kib(const char* self, const std::string& url, const std::string& target, double& seconds) {
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execl(self, self, "--one", url.c_str(), target.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  seconds = seconds_since(start);
  std::filesystem::remove(target);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

double best(const std::vector<double>& times) {
  double result = -1;
  for (double t : times)
    if (t > 0 && (result < 0 || t < result)) result = t;
  return result;
}

void print_time(const char* what, double seconds, int64_t size) {
  if (seconds < 0)
    std::printf("  %-44s failed\n", what);
  else
    std::printf("  %-44s %7.3f s  %8.1f MiB/s\n", what, seconds, double(size) / (1 << 20) / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--one") return run_ours(argv[2], argv[3], kLargeSize) > 0 ? 0 : 1;
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s BASE_URL WORK_DIR (see bench/run-download-bench)\n", argv[0]);
    return 2;
  }
  const std::string base = argv[1];
  const std::string dir = argv[2];
  const std::string url = base + "/file-256m.bin";
  const std::string target = dir + "/target.bin";

  std::printf("256 MiB from nginx on 127.0.0.1, best of %d:\n", kRounds);
  std::vector<double> ours, curl, aria;
  for (int round = 0; round < kRounds; ++round) {
    ours.push_back(run_ours(url, target, kSize));
    curl.push_back(run_program({"curl", "-s", "-o", target, url}, target));
    aria.push_back(run_program(
        {"aria2c", "-q", "-x4", "-s4", "--allow-overwrite=true", "-d", dir, "-o", "target.bin", url}, target));
  }
  const double t_ours = best(ours), t_curl = best(curl), t_aria = best(aria);
  print_time("ours, 4 connections", t_ours, kSize);
  print_time("curl -o", t_curl, kSize);
  print_time("aria2c -x4 -s4", t_aria, kSize);
  if (t_ours > 0 && t_aria > 0) std::printf("  throughput ours / aria2c: %.2f (goal >= 2.0)\n", t_aria / t_ours);
  if (t_ours > 0 && t_curl > 0) std::printf("  throughput ours / curl:   %.2f (goal >= 0.9)\n", t_curl / t_ours);

  if (t_ours > 0) {
    // A tenth of what one of four connections carried in the unlimited run.
    const int64_t rate = std::max<int64_t>(int64_t(double(kSize) / 4 / t_ours / 10), 1);
    const std::string slow = url + "?slow=" + std::to_string(kSize / 4 * 3) + "&rate=" + std::to_string(rate);
    std::vector<double> limited;
    for (int round = 0; round < kRounds; ++round) limited.push_back(run_ours(slow, target, kSize));
    const double t_limited = best(limited);
    std::printf("\none of the four connections at %.1f MiB/s (a tenth of one connection's):\n",
                double(rate) / (1 << 20));
    print_time("ours, 4 connections, one limited", t_limited, kSize);
    if (t_limited > 0) std::printf("  time limited / unlimited: %.2f (goal <= 1.25)\n", t_limited / t_ours);
  }

  double t_large = 0;
  const long peak = large_download_peak_kib(argv[0], base + "/file-1g.bin", dir + "/large.bin", t_large);
  std::printf("\n1 GiB, ours with 4 connections, in a child process:\n");
  print_time("ours, 4 connections", peak < 0 ? -1 : t_large, kLargeSize);
  if (peak >= 0)
    std::printf("  peak resident memory: %.1f MiB (goal < 64 MiB beyond the file's pages)\n", peak / 1024.0);
  return 0;
}
