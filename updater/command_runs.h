#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "updater/packages.h"
#include "updater/version_check.h"

// Each command of the command line, run on the window thread with the main
// window loaded and hidden; each gives its exit code.
namespace updater {

int32_t run_check();
int32_t run_download(const std::vector<Package>& packages);
int32_t run_install(Package package, const std::vector<std::string>& targets);
int32_t run_rollback(Package package, const std::vector<std::string>& targets);

// The output line of a verdict: name, local digest ("-" without an
// archive), remote digest, "发现新版" or "最新版".
std::string verdict_line(const Verdict& verdict);

// The progress line of a download on a terminal: the status text, the
// progress bar's percent, the bytes, and the speed label, as the window
// shows them.
std::string progress_text(const std::string& status, int32_t percent, int32_t received, int32_t total,
                          const std::string& speed);

// A message of several lines (CR LF between them) as output lines: the
// first as it is, the others indented by two spaces.
std::vector<std::string> message_lines(const std::string& message);

}  // namespace updater
