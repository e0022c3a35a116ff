#include "updater/download_display.h"

#include "updater/kernel.h"
#include "updater/main_window_units.h"

namespace updater {
namespace {

constexpr const char* kStatusText = "标签_提示内容";
constexpr const char* kProgressBar = "进度条1";
constexpr const char* kSpeed = "标签_每秒速度";

// At least one whole unit, allowing for the rounding of the division.
bool reaches(double bytes, double unit) { return bytes / unit - 1.0 >= -1e-7; }

}  // namespace

void ShowProgress(const std::string& status_text) {
  window::set_caption(kStatusText, status_text);
  window::set_visible(kStatusText, true);
  window::set_visible(kSpeed, true);
  window::set_visible(kProgressBar, true);
  window::set_position(kProgressBar, 0);
}

// The speed label keeps its text: it shows the last speed again when the
// display is next shown.
void HideProgress() {
  window::set_caption(kStatusText, "");
  window::set_visible(kStatusText, false);
  window::set_visible(kSpeed, false);
  window::set_visible(kProgressBar, false);
  window::set_position(kProgressBar, 0);
}

std::string speed_text(int32_t bytes) {
  const double n = bytes;
  constexpr double kGigabyte = 1073741824.0, kMegabyte = 1048576.0, kKilobyte = 1024.0;
  if (reaches(n, kGigabyte)) return kernel::number_to_formatted_text(n / kGigabyte, 2) + "GB/S";
  if (reaches(n, kMegabyte)) return kernel::number_to_formatted_text(n / kMegabyte, 2) + "MB/S";
  return kernel::number_to_formatted_text(n / kKilobyte, 2) + "KB/S";
}

bool speed_update_due(uint64_t now_ms, uint64_t last_ms) {
  return static_cast<double>(now_ms) - static_cast<double>(last_ms) - 1000.0 >= -1e-7;
}

int32_t progress_position(int32_t received, int32_t total) {
  if (total <= 0 || received <= 0) return 0;
  const double percent = static_cast<double>(received) / static_cast<double>(total) * 100.0;
  return percent >= 100.0 ? 100 : static_cast<int32_t>(percent);
}

}  // namespace updater
