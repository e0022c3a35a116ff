#include "updater/tests/end_to_end/end_to_end_support.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "units/tests/window_snapshot.h"
#include "updater/install_rows.h"
#include "updater/main_window_units.h"
#include "updater/package_download.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

// The Unix folder the build wrote the packages to, as Wine shows it (drive Z:).
std::string packages_directory() {
  std::string path = "Z:" UPDATER_DEMO_PACKAGES_DIR "\\";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// What a screenshot of the progress display would show, read off the screen.
bool screen_shows_progress() {
  UpdateWindow(main_window_handle());  // the last writes painted first
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  return units::testing::shows_colour(unit_handle("标签_提示内容"), text) &&
         units::testing::shows_colour(unit_handle("标签_每秒速度"), text) &&
         units::testing::shows_colour(unit_handle("进度条1"), GetSysColor(COLOR_HIGHLIGHT));
}

}  // namespace

std::string demo_package(const char* archive) { return read_file(packages_directory() + archive); }

const char* served_name(Package package) {
  static const char* const kNames[] = {"jc.zip", "gn.zip", "fg.zip", "gj.zip"};
  return kNames[static_cast<size_t>(package)];
}

void start_like_a_fresh_program() {
  ASSERT_EQ(state().download_busy, 0) << "a download of an earlier test still runs";
  state().last_speed_tick = 0;
  put_program_file("Config.ini", "");
  for (size_t i = 0; i < kPackageCount; ++i) {
    const auto package = static_cast<Package>(i);
    const std::string archive = units_of(package).archive;
    put_program_file(archive, "");
    put_program_file(archive + kPartialSuffix, "");
    remove_tree(program_directory() + install_row(package).staging);
    ASSERT_FALSE(exists(program_directory() + install_row(package).staging));
  }
}

void serve_demo_packages() {
  for (size_t i = 0; i < kPackageCount; ++i) {
    const auto package = static_cast<Package>(i);
    ASSERT_TRUE(server().write_document(std::string("slow/") + served_name(package),
                                        demo_package(units_of(package).archive)));
  }
  publish_configuration(configuration_for(demo_package("霁川.zip"), demo_package("功能.zip"),
                                          demo_package("反挂.zip"), demo_package("工具.zip"), "/slow/"));
}

WatchedDownload download_through_the_window(const char* button, int timeout_ms) {
  WatchedDownload watched;
  SendMessageA(unit_handle(button), BM_CLICK, 0, 0);
  watched.ended = wait_until(
      [&] {
        if (IsWindowVisible(unit_handle("进度条1"))) {
          watched.display_shown = true;
          // Hiding clears the text before it hides the bar: an empty text
          // may be that moment, not what the display showed.
          if (const std::string status = window::caption("标签_提示内容"); !status.empty())
            watched.status_text = status;
          const std::string speed = window::caption("标签_每秒速度");
          if (speed.size() > 2 && speed.compare(speed.size() - 2, 2, "/S") == 0) watched.speed_text = speed;
          const int position = static_cast<int>(SendMessageA(unit_handle("进度条1"), PBM_GETPOS, 0, 0));
          watched.highest_position = std::max(watched.highest_position, position);
          if (!watched.screen_showed_progress && position > 0 && !watched.speed_text.empty())
            watched.screen_showed_progress = screen_shows_progress();
        }
        return state().download_busy == 0;
      },
      timeout_ms);
  pump();
  return watched;
}

}  // namespace updater::testing
