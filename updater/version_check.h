#pragma once

// Whether the archives the operator holds are the current releases: the
// version of a package is the MD5 digest of its archive, compared with the
// digest that the remote configuration publishes.
#include <string>
#include <vector>

#include "updater/packages.h"

namespace updater {

// On the status line when the remote configuration could not be read.
inline constexpr const char* kRemoteConfigUnread = "读取远程配置失败";

// One package's verdict, as its label shows it.
struct Verdict {
  Package package;
  std::string local;   // the digest of the archive held here
  std::string remote;  // the digest the configuration publishes
  bool newer = false;  // "发现新版"; otherwise "最新版"
};

// What a check found: the verdicts it gave, in the order of the labels,
// and the text it left on the status line when it ended before the last one.
struct CheckOutcome {
  std::vector<Verdict> verdicts;
  std::string failure;    // "读取远程配置失败", a package's missing digest; empty when none
  bool complete = false;  // every package got its verdict
};

void ComputeLocalDigests();
CheckOutcome CheckForUpdates();
void SaveAutoCheckSettings();
void SelectTestEdition();
void SelectFreeEdition();
void OnCheckTimer();

// Two digest texts name the same release whatever the case of their letters.
bool same_digest(const std::string& a, const std::string& b);

}  // namespace updater
