// The download buttons on the real main window, and how a finished task is
// judged: what a click does before the engine takes over, a start the engine
// refuses, the partial file, and the archive kept or replaced at the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "updater/main_window_units.h"
#include "updater/package_download.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

const std::string kOldFeature = "feature plug-in as the operator has it";
const std::string kNewFeature = "feature plug-in, release 8";

class DownloadClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server().running()) << server().problem;
    set_config_url(server().url("/xiazaiqi/xiazai2.txt"));
    put_program_file("Config.ini", "");
    put_program_file("功能.zip", kOldFeature);
    put_program_file("功能.zip.part", "");
    state().download_busy = 0;
  }
  void TearDown() override {
    close_main_window();
    state().download_busy = 0;
  }

  static void click(const char* button) { SendMessageA(unit_handle(button), BM_CLICK, 0, 0); }
  static bool display_shown() { return IsWindowVisible(unit_handle("进度条1")) != 0; }
  static bool idle() { return state().download_busy == 0; }

  // Every URL of the configuration in a scheme the engine refuses.
  static void publish_refused_urls() {
    std::string text = configuration_for("engine", kNewFeature, "anti-cheat", "tools");
    for (size_t at = text.find("http://"); at != std::string::npos; at = text.find("http://", at))
      text.replace(at, 7, "https://");
    publish_configuration(text);
  }
};

TEST_F(DownloadClicks, an_empty_url_is_reported_in_a_box_over_the_main_window) {
  set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");  // no configuration: every URL empty
  open_main_window();
  const struct {
    const char* button;
    const char* message;
  } cases[] = {
      {"按钮_下载霁川", "霁川下载地址为空"},
      {"按钮_下载功能", "功能下载地址为空"},
      {"按钮_下载反挂", "反挂下载地址为空"},
      {"按钮_下载工具", "工具下载地址为空"},
  };
  for (const auto& c : cases) {
    BoxRecorder boxes;
    click(c.button);
    pump();
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.button;
    EXPECT_EQ(boxes.boxes()[0].text, c.message) << c.button;
    EXPECT_EQ(boxes.boxes()[0].caption, "信息：") << c.button;
    EXPECT_EQ(boxes.boxes()[0].owner, main_window_handle()) << c.button;
    EXPECT_TRUE(idle()) << c.button;
    EXPECT_FALSE(display_shown()) << c.button;
  }
}

TEST_F(DownloadClicks, the_engine_button_does_nothing_for_the_test_edition) {
  set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
  open_main_window();
  window::set_checked("单选框1", true);
  window::set_checked("单选框2", false);
  BoxRecorder boxes;
  click("按钮_下载霁川");
  pump();
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_TRUE(idle());
  EXPECT_FALSE(display_shown());
}

TEST_F(DownloadClicks, a_click_while_a_download_runs_does_nothing) {
  set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
  open_main_window();
  state().download_busy = 1;
  BoxRecorder boxes;
  for (const char* button : {"按钮_下载霁川", "按钮_下载功能", "按钮_下载反挂", "按钮_下载工具"}) click(button);
  pump();
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_FALSE(display_shown());
}

// The engine refuses https (and a tree without the engine refuses every
// URL): no task will end the download, so the click's own thread does.
TEST_F(DownloadClicks, a_refused_start_frees_the_buttons_and_says_why) {
  publish_refused_urls();
  open_main_window();
  for (int attempt = 1; attempt <= 2; ++attempt) {
    window::set_caption("透明标签1", "");
    click("按钮_下载功能");
    EXPECT_EQ(state().download.package, Package::Feature);
    ASSERT_TRUE(wait_until(idle)) << "attempt " << attempt;
    pump();
    EXPECT_EQ(window::caption("透明标签1"), "下载未能开始：下载地址不被接受") << "attempt " << attempt;
    EXPECT_FALSE(display_shown()) << "attempt " << attempt;
  }
  EXPECT_EQ(read_file(program_directory() + "功能.zip"), kOldFeature);
  EXPECT_FALSE(exists(program_directory() + "功能.zip.part"));
}

TEST_F(DownloadClicks, a_second_download_button_is_ignored_while_the_first_starts) {
  publish_refused_urls();
  open_main_window();
  click("按钮_下载反挂");
  click("按钮_下载工具");
  EXPECT_EQ(state().download.package, Package::AntiCheat);
  ASSERT_TRUE(wait_until(idle));
}

TEST_F(DownloadClicks, a_partial_file_left_by_an_earlier_run_is_removed_first) {
  publish_refused_urls();
  open_main_window();
  put_program_file("功能.zip.part", "half of an older download");
  click("按钮_下载功能");
  ASSERT_TRUE(wait_until(idle));
  EXPECT_FALSE(exists(program_directory() + "功能.zip.part"));
  EXPECT_EQ(read_file(program_directory() + "功能.zip"), kOldFeature);
}

TEST_F(DownloadClicks, a_partial_file_that_cannot_be_removed_stops_the_start) {
  publish_refused_urls();
  open_main_window();
  put_program_file("功能.zip.part", "held by another program");
  const std::string partial = program_directory() + "功能.zip.part";
  HANDLE held = CreateFileA(partial.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  click("按钮_下载功能");
  CloseHandle(held);
  EXPECT_TRUE(idle());
  EXPECT_EQ(window::caption("透明标签1"), "下载未能开始：无法删除上次留下的临时文件");
  EXPECT_FALSE(display_shown());
  EXPECT_EQ(read_file(program_directory() + "功能.zip"), kOldFeature);
}

// The task's last event, delivered on a thread of its own as the engine's
// controller does, after the engine has written (part of) the partial file.
class DownloadEnd : public DownloadClicks {
 protected:
  void SetUp() override {
    DownloadClicks::SetUp();
    publish_configuration(configuration_for("engine", kNewFeature, "anti-cheat", "tools"));
    open_main_window();
  }

  // Sets up the download as a click would, with the sizes its events reported.
  static void downloaded(int32_t total, int32_t done, const std::string* partial_content) {
    UpdaterState& s = state();
    s.download.package = Package::Feature;
    s.download.archive_path = s.program_directory + "\\功能.zip";
    s.download.partial_path = s.download.archive_path + kPartialSuffix;
    s.total_size = total;
    s.received_size = done;
    if (partial_content) put_program_file("功能.zip.part", *partial_content);
    s.download_busy = 1;
    window::set_visible("进度条1", true);
  }

  static void end_task(int32_t total) {
    std::atomic<bool> done{false};
    std::thread controller([&] {
      OnDownloadEvent(4 /* TaskEnded */, 0, total, 0, 0);
      done = true;
    });
    EXPECT_TRUE(wait_until([&] { return done.load(); }, 15000));
    controller.join();
  }
};

TEST_F(DownloadEnd, only_a_whole_file_replaces_the_archive) {
  const std::string whole = kNewFeature;
  const std::string short_one = kNewFeature.substr(0, 10);
  const auto total = static_cast<int32_t>(whole.size());
  const struct {
    const char* name;
    int32_t total, done;
    const std::string* partial;
    bool replaced;
  } cases[] = {
      {"every byte", total, total, &whole, true},
      {"bytes missing", total, 10, &whole, false},
      {"no size known", 0, 0, &whole, false},
      {"the size the server gave up on", -1, 0, &whole, false},
      {"no partial file", total, total, nullptr, false},
      {"a partial file of another size", total, total, &short_one, false},
  };
  for (const auto& c : cases) {
    put_program_file("功能.zip", kOldFeature);
    downloaded(c.total, c.done, c.partial);
    end_task(c.total);
    const std::string archive = read_file(program_directory() + "功能.zip");
    EXPECT_EQ(archive, c.replaced ? kNewFeature : kOldFeature) << c.name;
    EXPECT_FALSE(exists(program_directory() + "功能.zip.part")) << c.name;
    EXPECT_TRUE(idle()) << c.name;
    EXPECT_FALSE(IsWindowVisible(unit_handle("进度条1"))) << c.name;
    EXPECT_EQ(window::caption("透明标签1"), c.replaced ? "" : "下载功能.zip失败") << c.name;
    // The check that follows judges the archive now in place.
    EXPECT_EQ(window::caption("标签2"), c.replaced ? "最新版" : "发现新版") << c.name;
    EXPECT_FALSE(window::disabled("按钮_安装功能")) << c.name;
  }
}

TEST_F(DownloadEnd, a_failed_first_download_leaves_no_archive_and_no_partial_file) {
  put_program_file("功能.zip", "");
  open_main_window();
  downloaded(100, 40, &kNewFeature);
  end_task(100);
  EXPECT_FALSE(exists(program_directory() + "功能.zip"));
  EXPECT_FALSE(exists(program_directory() + "功能.zip.part"));
  EXPECT_EQ(window::caption("透明标签1"), "下载功能.zip失败");
  EXPECT_TRUE(window::disabled("按钮_安装功能"));
}

TEST(DownloadEvents, a_file_in_the_way_of_the_partial_file_ends_the_download) {
  EXPECT_EQ(OnDownloadEvent(18 /* FileExists */, 0, 10, 20, 0), 1 /* give up */);
}

}  // namespace
}  // namespace updater::testing
