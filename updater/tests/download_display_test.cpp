// The progress display: speed texts, bar positions, and the three units
// shown and hidden on the real main window, from the window thread and from
// another thread, also after the window is gone.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "updater/download_display.h"
#include "updater/main_window_units.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

TEST(SpeedText, shows_the_largest_unit_reached_with_two_decimals) {
  const struct {
    int32_t bytes;
    const char* expected;
  } cases[] = {
      {1572864, "1.50MB/S"},
      {512, "0.50KB/S"},
      {1048576, "1.00MB/S"},
      {0, "0.00KB/S"},
      {1024, "1.00KB/S"},
      {1048575, "1024.00KB/S"},  // a byte short of a megabyte stays in kilobytes
      {1073741824, "1.00GB/S"},
      {1610612736, "1.50GB/S"},
      // Within 1e-7 of a whole gigabyte counts as one: 1073741717 is 107
      // bytes short, 1073741716 is 108.
      {1073741717, "1.00GB/S"},
      {1073741716, "1024.00MB/S"},
      {1005, "0.98KB/S"},
  };
  for (const auto& c : cases) EXPECT_EQ(speed_text(c.bytes), c.expected) << "bytes " << c.bytes;
}

TEST(SpeedText, is_due_once_a_second_has_passed) {
  const struct {
    uint64_t now, last;
    bool due;
  } cases[] = {
      {1000, 0, true}, {999, 0, false}, {5000, 4000, true}, {4999, 4000, false}, {123456789, 0, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(speed_update_due(c.now, c.last), c.due) << "now " << c.now << ", last " << c.last;
}

TEST(ProgressPosition, is_the_truncated_percentage_and_zero_without_a_total) {
  const struct {
    int32_t received, total, position;
  } cases[] = {
      {0, 0, 0}, {500, 0, 0}, {5, -1, 0}, {1, 3, 33}, {2, 3, 66}, {10, 10, 100}, {0, 10, 0}, {999, 1000, 99},
  };
  for (const auto& c : cases)
    EXPECT_EQ(progress_position(c.received, c.total), c.position) << c.received << " of " << c.total;
}

class ProgressDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    put_program_file("Config.ini", "");
    open_main_window();
  }
  void TearDown() override { close_main_window(); }

  static bool shown(const char* unit) { return IsWindowVisible(unit_handle(unit)) != 0; }
  static int bar_position() { return static_cast<int>(SendMessageA(unit_handle("进度条1"), PBM_GETPOS, 0, 0)); }

  // Runs `work` on a thread of its own while this thread handles messages,
  // as the window thread does while a download runs.
  static void on_other_thread(const std::function<void()>& work) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
      work();
      done = true;
    });
    EXPECT_TRUE(wait_until([&] { return done.load(); }));
    worker.join();
  }
};

TEST_F(ProgressDisplay, show_and_hide_set_the_three_units) {
  EXPECT_FALSE(shown("标签_提示内容"));
  EXPECT_FALSE(shown("进度条1"));
  EXPECT_FALSE(shown("标签_每秒速度"));

  window::set_caption("标签_每秒速度", "1.50MB/S");
  ShowProgress("正在下载功能文件:");
  EXPECT_TRUE(shown("标签_提示内容"));
  EXPECT_TRUE(shown("进度条1"));
  EXPECT_TRUE(shown("标签_每秒速度"));
  EXPECT_EQ(window::caption("标签_提示内容"), "正在下载功能文件:");
  EXPECT_EQ(bar_position(), 0);

  window::set_position("进度条1", 40);
  EXPECT_EQ(bar_position(), 40);
  HideProgress();
  EXPECT_FALSE(shown("标签_提示内容"));
  EXPECT_FALSE(shown("进度条1"));
  EXPECT_FALSE(shown("标签_每秒速度"));
  EXPECT_EQ(window::caption("标签_提示内容"), "");
  EXPECT_EQ(bar_position(), 0);
  // The last speed stays, to be shown again with the next download.
  EXPECT_EQ(window::caption("标签_每秒速度"), "1.50MB/S");

  ShowProgress("正在下载工具文件:");
  EXPECT_EQ(window::caption("标签_每秒速度"), "1.50MB/S");
}

TEST_F(ProgressDisplay, another_thread_writes_through_the_window_thread) {
  on_other_thread([] {
    ShowProgress("正在下载霁川文件:");
    window::set_position("进度条1", 70);
    window::set_caption("标签_每秒速度", "0.50KB/S");
  });
  EXPECT_TRUE(shown("进度条1"));
  EXPECT_EQ(bar_position(), 70);
  EXPECT_EQ(window::caption("标签_提示内容"), "正在下载霁川文件:");
  EXPECT_EQ(window::caption("标签_每秒速度"), "0.50KB/S");
  bool seen_loaded = false;
  on_other_thread([&] { seen_loaded = window::loaded(); });
  EXPECT_TRUE(seen_loaded);
}

// The download engine's thread may report progress after the operator has
// closed the window: its writes are dropped, and nothing ends the program.
TEST_F(ProgressDisplay, writes_from_another_thread_after_the_window_is_gone_are_dropped) {
  close_main_window();
  ASSERT_EQ(main_window_handle(), nullptr);
  BoxRecorder boxes;  // a runtime error would show its box, then end the test program
  bool seen_loaded = true;
  std::string caption_read = "unread";
  on_other_thread([&] {
    ShowProgress("正在下载反挂文件:");
    window::set_position("进度条1", 55);
    HideProgress();
    seen_loaded = window::loaded();
    caption_read = window::caption("标签_提示内容");
  });
  EXPECT_FALSE(seen_loaded);
  EXPECT_EQ(caption_read, "");
  EXPECT_TRUE(boxes.texts().empty());
}

}  // namespace
}  // namespace updater::testing
