// Unpacking time of UnpackArchive against unzip and bsdtar on the same archive.
//
//   unzip_bench [WORK_DIRECTORY] [ROUNDS]      (default $TMPDIR/unzip_bench, 3)
//
// Writes about 1,000 files and 200 MB of mixed content (text-like and
// random, as game server packages hold configuration, maps and binaries),
// packs them with Info-ZIP's zip, then unpacks the archive with our command
// (in this process), `unzip -q -o` and `bsdtar -xf`, into fresh directories
// on the same file system. Rounds interleave the three, each going first in
// turn; the best time of each counts. Prints the times and our time as a ratio of each peer's.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/zip/unpack_archive.h"
#include "platform/path.h"
#include "runtime/command_call.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 1000;
constexpr uint64_t kTotalBytes = 200ull << 20;

uint64_t g_random = 0x9E3779B97F4A7C15ull;
uint64_t next_random() {
  uint64_t z = (g_random += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

int run(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status != 0) std::fprintf(stderr, "unzip_bench: `%s` gave %d\n", command.c_str(), status);
  return status;
}

// Text-like content: words from a small vocabulary, as configuration and
// scripts are; random content: bytes that do not compress (zip stores them).
std::string content(size_t size, bool text) {
  static const char* const kWords[] = {"[Server]", "Port=",   "7000",  "MapName=", "3",    "monster", "\r\n",
                                       "DropItem", "gold",    "=",     "1.25",     "Gate", "login",   "; note",
                                       "npc",      "script:", "@main", "#IF",      "#ACT", "goto"};
  std::string out;
  out.reserve(size + 16);
  if (text) {
    while (out.size() < size) {
      out += kWords[next_random() % (sizeof kWords / sizeof kWords[0])];
      out += ' ';
    }
  } else {
    while (out.size() < size) {
      const uint64_t r = next_random();
      out.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
  }
  out.resize(size);
  return out;
}

void write_tree(const std::string& root) {
  run("rm -rf " + quoted(root) + " && mkdir -p " + quoted(root));
  const uint64_t average = kTotalBytes / kFiles;
  for (int i = 0; i < kFiles; ++i) {
    const std::string directory = root + "/dir" + std::to_string(i % 25) + "/sub" + std::to_string(i % 4);
    mkdir((root + "/dir" + std::to_string(i % 25)).c_str(), 0755);
    mkdir(directory.c_str(), 0755);
    // Sizes from a few bytes to about 2.5 times the average.
    const size_t size = static_cast<size_t>(next_random() % (average * 5 / 2) + 1);
    const bool text = i % 5 < 3;
    const std::string path = directory + "/file" + std::to_string(i) + (text ? ".txt" : ".bin");
    FILE* f = std::fopen(path.c_str(), "wb");
    const std::string bytes = content(size, text);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double time_ours(const std::string& archive, const std::string& target) {
  const std::string program_archive = platform::program_path(archive);
  const std::string program_target = platform::program_path(target);
  const auto start = Clock::now();
  const rt::ArgValue result = rt::call_command(
      archive::UnpackArchive, {rt::ArgValue::of_unit(0, 0, 0x00070001), rt::ArgValue::of_text(program_archive.c_str()),
                               rt::ArgValue::of_text(program_target.c_str())});
  const double seconds = seconds_since(start);
  if (result.as_int() != 1) std::fprintf(stderr, "unzip_bench: UnpackArchive gave %d\n", result.as_int());
  return seconds;
}

double time_command(const std::string& command) {
  const auto start = Clock::now();
  run(command);
  return seconds_since(start);
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string work = argc > 1 ? argv[1] : std::string(tmp && *tmp ? tmp : "/tmp") + "/unzip_bench";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const std::string archive = work + "/bench.zip";

  std::printf("writing %d files, %llu MB, and packing them with zip...\n", kFiles,
              static_cast<unsigned long long>(kTotalBytes >> 20));
  write_tree(work + "/content");
  run("rm -f " + quoted(archive) + " && cd " + quoted(work) + " && zip -q -r bench.zip content");
  struct stat st {};
  stat(archive.c_str(), &st);
  std::printf("archive: %.1f MB\n", static_cast<double>(st.st_size) / (1 << 20));

  const std::string ours = work + "/out_ours", unzip = work + "/out_unzip", bsdtar = work + "/out_bsdtar";
  double best_ours = 1e9, best_unzip = 1e9, best_bsdtar = 1e9;
  for (int round = 0; round < rounds; ++round) {
    // Each tool in turn goes first: creating files right after many were
    // deleted costs the file system more.
    for (int turn = 0; turn < 3; ++turn) {
      const int tool = (round + turn) % 3;
      const std::string& target = tool == 0 ? ours : tool == 1 ? unzip : bsdtar;
      run("rm -rf " + quoted(target) + " && sync");
      if (tool == 0) best_ours = std::min(best_ours, time_ours(archive, ours));
      if (tool == 1)
        best_unzip = std::min(best_unzip, time_command("unzip -q -o " + quoted(archive) + " -d " + quoted(unzip)));
      if (tool == 2)
        best_bsdtar = std::min(best_bsdtar, time_command("mkdir -p " + quoted(bsdtar) + " && bsdtar -xf " +
                                                         quoted(archive) + " -C " + quoted(bsdtar)));
    }
    std::printf("round %d: best so far: ours %.3f s, unzip %.3f s, bsdtar %.3f s\n", round + 1, best_ours, best_unzip,
                best_bsdtar);
  }
  const bool same = run("diff -r -q " + quoted(ours) + " " + quoted(unzip) + " >/dev/null") == 0;
  std::printf("\nUnpackArchive %.3f s, unzip %.3f s, bsdtar %.3f s; same files as unzip: %s\n", best_ours, best_unzip,
              best_bsdtar, same ? "yes" : "NO");
  std::printf("ours / unzip  = %.2f (goal at most 0.80)\n", best_ours / best_unzip);
  std::printf("ours / bsdtar = %.2f (goal at most 1.00)\n", best_ours / best_bsdtar);
  run("rm -rf " + quoted(ours) + " " + quoted(unzip) + " " + quoted(bsdtar));
  return same ? 0 : 1;
}
