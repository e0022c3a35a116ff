#pragma once

#include <array>

#include "updater/packages.h"

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

}  // namespace updater
