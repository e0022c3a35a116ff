// --check: the version check of the window, its verdicts as lines.
#include "updater/command_line.h"
#include "updater/command_runs.h"
#include "updater/console_output.h"

namespace updater {
namespace {

// The check writes the configuration to a temporary file in the program
// directory to read it; the window then shows nothing at all.
constexpr const char* kConfigurationNotWritten = "无法在程序目录写入临时文件, 远程配置未能读取";

}  // namespace

std::string verdict_line(const Verdict& verdict) {
  const std::string local = verdict.local == kEmptyDigest ? "-" : verdict.local;
  return std::string(command_name(verdict.package)) + " " + local + " " + verdict.remote + " " +
         (verdict.newer ? "发现新版" : "最新版");
}

int32_t run_check() {
  const CheckOutcome outcome = CheckForUpdates();
  bool newer = false;
  for (const Verdict& verdict : outcome.verdicts) {
    console::write_line(console::Stream::Out, verdict_line(verdict));
    newer = newer || verdict.newer;
  }
  if (!outcome.complete) {
    console::write_line(console::Stream::Error, outcome.failure.empty() ? kConfigurationNotWritten : outcome.failure);
    return kExitFailed;
  }
  return newer ? kExitNewerRelease : kExitDone;
}

}  // namespace updater
