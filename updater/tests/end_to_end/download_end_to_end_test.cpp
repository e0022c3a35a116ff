// Downloads through the real window from nginx on 127.0.0.1, with the
// download engine: every "下载" button, the progress display, the archive
// byte for byte, the verdict and the install button; a server that drops the
// connection (the scripted server, scenarios/); two buttons pressed together.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "updater/main_window_units.h"
#include "updater/package_download.h"
#include "platform/testing/scripted_server.h"
#include "updater/tests/end_to_end/end_to_end_support.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

class DownloadEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server().running()) << server().problem;
    set_config_url(server().url("/xiazaiqi/xiazai2.txt"));
    ASSERT_NO_FATAL_FAILURE(start_like_a_fresh_program());
    serve_demo_packages();
  }
  void TearDown() override { close_main_window(); }
};

// A speed as the label shows it: 2 decimals and the unit per second.
bool is_speed_text(const std::string& text) {
  static const std::regex kSpeed("[0-9]+\\.[0-9]{2}(KB|MB|GB)/S");
  return std::regex_match(text, kSpeed);
}

// Each package in a program run of its own, so that the speed seen is the one
// its download wrote at its first read, not what the label kept from before.
TEST_F(DownloadEndToEnd, each_button_fetches_its_archive_with_the_progress_display) {
  const size_t log_before = server().access_log().size();
  for (size_t i = 0; i < kPackageCount; ++i) {
    const auto package = static_cast<Package>(i);
    const PackageUnits& units = units_of(package);
    SCOPED_TRACE(units.archive);
    ASSERT_NO_FATAL_FAILURE(start_like_a_fresh_program());
    open_main_window();
    EXPECT_TRUE(window::disabled(units.install_button));
    EXPECT_EQ(window::caption(units.verdict_label), "发现新版");

    const WatchedDownload watched = download_through_the_window(units.download_button);
    ASSERT_TRUE(watched.ended);
    EXPECT_TRUE(watched.display_shown);
    EXPECT_EQ(watched.status_text, units.download_status);
    EXPECT_TRUE(is_speed_text(watched.speed_text)) << "speed shown: \"" << watched.speed_text << '"';
    EXPECT_GT(watched.highest_position, 0);
    EXPECT_TRUE(watched.screen_showed_progress);
    EXPECT_FALSE(IsWindowVisible(unit_handle("进度条1")));

    EXPECT_EQ(read_file(program_directory() + units.archive), demo_package(units.archive));
    EXPECT_FALSE(exists(program_directory() + units.archive + kPartialSuffix));
    EXPECT_EQ(window::caption(units.verdict_label), "最新版");
    EXPECT_EQ(window::text_colour(units.verdict_label), window::kGreen);
    EXPECT_FALSE(window::disabled(units.install_button));
  }
  // Each package was asked for by its own URL.
  const std::string log = server().access_log();
  for (size_t i = 0; i < kPackageCount; ++i)
    EXPECT_NE(log.find(std::string("/slow/") + served_name(static_cast<Package>(i)), log_before), std::string::npos);
}

// The requests a scenario of the scripted server has received since its
// reset, as the server lists them ("request <n> <length>" and the bytes).
std::string requests_received(const test_support::ScriptedServer& scripted, const std::string& scenario) {
  const test_support::ControlAnswer answer = scripted.control("requests/" + scenario);
  EXPECT_TRUE(answer.ok()) << answer.problem;
  return answer.body;
}

TEST_F(DownloadEndToEnd, a_server_that_drops_the_connection_leaves_the_old_archive) {
  // Announces the whole archive on every connection and closes it after 1000 bytes.
  const std::string scenario = "drop-after-1000-bytes";
  const test_support::ScriptedServer scripted = test_support::find_scripted_server();
  ASSERT_TRUE(scripted.running()) << scripted.problem;
  const test_support::ControlAnswer reset = scripted.control("reset/" + scenario);
  ASSERT_TRUE(reset.ok()) << reset.problem;
  std::string text = configuration_for(demo_package("霁川.zip"), demo_package("功能.zip"), demo_package("反挂.zip"),
                                       demo_package("工具.zip"), "/slow/");
  const std::string served = server().url("/slow/gn.zip");
  text.replace(text.find(served), served.size(), scripted.url("/s/" + scenario + "/gn.zip"));
  publish_configuration(text);
  put_program_file("功能.zip", "the feature plug-in the operator has");
  open_main_window();

  const WatchedDownload watched = download_through_the_window("按钮_下载功能");
  ASSERT_TRUE(watched.ended);
  // The first request is the updater's own: its Referer is there, and empty.
  const std::string requests = requests_received(scripted, scenario);
  EXPECT_EQ(requests.rfind("request 1 ", 0), 0u) << requests;
  const std::string first = requests.substr(0, requests.find("\r\n\r\n"));
  EXPECT_NE(first.find("GET /s/" + scenario + "/gn.zip HTTP/1.1\r\n"), std::string::npos) << first;
  EXPECT_NE(first.find("\r\nReferer: \r\n"), std::string::npos) << first;
  EXPECT_EQ(read_file(program_directory() + "功能.zip"), "the feature plug-in the operator has");
  EXPECT_FALSE(exists(program_directory() + "功能.zip" + kPartialSuffix));
  EXPECT_EQ(window::caption("透明标签1"), "下载功能.zip失败");
  EXPECT_FALSE(window::disabled("按钮_安装功能"));
}

TEST_F(DownloadEndToEnd, two_buttons_pressed_together_start_one_download) {
  // The server's log holds the requests of earlier tests too.
  const size_t log_before = server().access_log().size();
  open_main_window();
  SendMessageA(unit_handle("按钮_下载反挂"), BM_CLICK, 0, 0);
  const WatchedDownload watched = download_through_the_window("按钮_下载工具");
  ASSERT_TRUE(watched.ended);
  EXPECT_EQ(watched.status_text, "正在下载反挂文件:");
  EXPECT_EQ(read_file(program_directory() + "反挂.zip"), demo_package("反挂.zip"));
  EXPECT_FALSE(exists(program_directory() + "工具.zip"));
  EXPECT_EQ(server().access_log().find("/slow/gj.zip", log_before), std::string::npos);
}

TEST_F(DownloadEndToEnd, the_test_edition_never_downloads_the_engine) {
  const size_t log_before = server().access_log().size();
  open_main_window();
  window::set_checked("单选框1", true);
  window::set_checked("单选框2", false);
  SendMessageA(unit_handle("按钮_下载霁川"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(state().download_busy, 0);
  EXPECT_FALSE(IsWindowVisible(unit_handle("进度条1")));
  EXPECT_EQ(server().access_log().find("/slow/jc.zip", log_before), std::string::npos);
}

}  // namespace
}  // namespace updater::testing
