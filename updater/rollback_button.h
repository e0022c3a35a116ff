#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "updater/packages.h"
#include "updater/restore.h"

// The rollback group on the page "设置": a radio box per package and a
// button that puts back, in every server root of that package's edit box,
// the files its last install changed.
namespace updater {

struct RollbackChoice {
  const char* radio_box;
  Package package;
};
inline constexpr std::array<RollbackChoice, 3> kRollbackChoices = {{
    {"单选框_回滚霁川", Package::Engine},
    {"单选框_回滚功能", Package::Feature},
    {"单选框_回滚反挂", Package::AntiCheat},
}};
inline constexpr const char* kRollbackButton = "按钮_回滚上次安装";

// The click handler of the rollback button.
void RollBackLastInstall();

// One target of a rollback, right after it was handled.
struct TargetRollback {
  std::string target;         // as given
  std::string root;           // the target ending in "\"
  bool is_directory = false;  // otherwise nothing was done there
  Rollback rollback;
};
using TargetRolledBack = std::function<void(const TargetRollback&)>;

// The rollback without a word to the operator: each target in order. False
// when an install or another rollback runs and nothing was done.
bool roll_back_package(Package package, const std::vector<std::string>& targets, const TargetRolledBack& each);

// What the button tells about a root whose rollback did not finish: the
// files in use, or what could not be put back.
std::string rollback_failure(const std::string& root, const Rollback& rollback);

}  // namespace updater
