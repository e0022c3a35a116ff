#include "updater/install_rows.h"

#include <array>

namespace updater {

const InstallRow& install_row(Package package) {
  // The engine's last marker and the feature plug-in's last two have no
  // trailing "\": they also match files whose names begin with them.
  static const std::array<InstallRow, kPackageCount> kRows = {{
      {Package::Engine,
       "霁川",
       "解压霁川.zip 失败",
       {"\\DBServer\\", "\\mir200\\", "\\SelGate\\", "\\霁川引擎控制台"},
       "编辑框_霁川目录",
       true,
       {"M2PocketX86.dll", "TQGM2PlusLoad.dll"}},
      {Package::Feature,
       "功能插件",
       "解压功能.zip 失败",
       {"\\DBServer\\", "\\LoginGate\\", "\\Mir200\\", "\\Zenkoru引擎控制器", "\\tqgctl"},
       "编辑框_功能目录",
       false,
       {"TQGM2PlusLoad.dll"}},
      {Package::AntiCheat, "反挂插件", "解压 反挂.zip 失败", {"\\RunGate\\"}, "编辑框_反挂目录", false, {}},
      {Package::Tools, "其他工具", "解压 工具.zip 失败", {}, nullptr, false, {}},
  }};
  return kRows[static_cast<size_t>(package)];
}

}  // namespace updater
