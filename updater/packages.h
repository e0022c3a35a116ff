#pragma once

#include <array>
#include <cstddef>

// The four packages of the updater and the units and files that belong to each.
namespace updater {

enum class Package : size_t { Engine = 0, Feature = 1, AntiCheat = 2, Tools = 3 };
inline constexpr size_t kPackageCount = 4;

// Sections of the remote configuration, in the order of the package entries.
enum class Section : size_t { EngineTest = 0, EngineFree = 1, Feature = 2, AntiCheat = 3, Other = 4 };
inline constexpr size_t kSectionCount = 5;
inline constexpr std::array<const char*, kSectionCount> kSectionNames = {"霁川", "正式", "功能", "反挂", "其他"};

struct PackageUnits {
  const char* archive;       // in the program directory
  Section download_section;  // whose URL downloads it
  const char* download_button;
  const char* install_button;
  const char* verdict_label;
  const char* download_status;  // shown beside the progress bar while it downloads
  const char* empty_url_message;
};

inline constexpr std::array<PackageUnits, kPackageCount> kPackages = {{
    {"霁川.zip", Section::EngineFree, "按钮_下载霁川", "按钮_安装霁川", "标签1",
     "正在下载霁川文件:", "霁川下载地址为空"},
    {"功能.zip", Section::Feature, "按钮_下载功能", "按钮_安装功能", "标签2", "正在下载功能文件:", "功能下载地址为空"},
    {"反挂.zip", Section::AntiCheat, "按钮_下载反挂", "按钮_安装反挂", "标签3",
     "正在下载反挂文件:", "反挂下载地址为空"},
    {"工具.zip", Section::Other, "按钮_下载工具", "按钮_工具安装", "标签5", "正在下载工具文件:", "工具下载地址为空"},
}};

// The status line of the main window (a transparent label).
inline constexpr const char* kStatusLine = "透明标签1";

inline const PackageUnits& units_of(Package p) { return kPackages[static_cast<size_t>(p)]; }

// The digest of no bytes: what a missing or empty archive hashes to.
inline constexpr const char* kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";

}  // namespace updater
