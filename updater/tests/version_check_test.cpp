// The first check of the main window and the check button, against a real
// web server on 127.0.0.1, with archives in the program directory.
#include <windows.h>

#include <gtest/gtest.h>

#include "updater/main_window_units.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"
#include "updater/version_check.h"

namespace updater::testing {
namespace {

const std::string kEngine = "engine archive v2";
const std::string kFeature = "feature plug-in v7";
const std::string kAntiCheat = "anti-cheat v3";
const std::string kTools = "tools bundle";

class VersionCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server().running()) << server().problem;
    set_config_url(server().url("/xiazaiqi/xiazai2.txt"));
    put_program_file("Config.ini", "");
    put_program_file("霁川.zip", kEngine);
    put_program_file("功能.zip", "an older feature plug-in");
    put_program_file("反挂.zip", kAntiCheat);
    put_program_file("工具.zip", "");  // absent
    publish_configuration(configuration_for(kEngine, kFeature, kAntiCheat, kTools));
  }
  void TearDown() override { close_main_window(); }

  static void expect_verdict(const char* label, const char* caption, uint32_t colour) {
    EXPECT_EQ(window::caption(label), caption) << label;
    EXPECT_EQ(window::text_colour(label), colour) << label;
  }
};

TEST_F(VersionCheck, first_check_shows_each_verdict_as_the_digests_say) {
  open_main_window();
  expect_verdict("标签1", "最新版", window::kGreen);
  expect_verdict("标签2", "发现新版", window::kRed);
  expect_verdict("标签3", "最新版", window::kGreen);
  expect_verdict("标签5", "发现新版", window::kRed);
  EXPECT_EQ(window::caption("透明标签1"), "");
  EXPECT_EQ(state().entry(Section::Feature).url, server().url("/packages/gn.zip"));
}

TEST_F(VersionCheck, install_buttons_follow_the_archives_present_even_without_a_configuration) {
  set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");  // nothing listens there
  open_main_window();
  EXPECT_EQ(window::caption("透明标签1"), "读取远程配置失败");
  EXPECT_FALSE(window::disabled("按钮_安装霁川"));
  EXPECT_FALSE(window::disabled("按钮_安装功能"));
  EXPECT_FALSE(window::disabled("按钮_安装反挂"));
  EXPECT_TRUE(window::disabled("按钮_工具安装"));
  EXPECT_FALSE(IsWindowEnabled(unit_handle("按钮_工具安装")));
}

TEST_F(VersionCheck, the_engine_is_compared_by_the_checked_edition) {
  open_main_window();
  expect_verdict("标签1", "最新版", window::kGreen);
  window::set_checked("单选框1", true);
  window::set_checked("单选框2", false);
  SendMessageA(unit_handle("按钮_检查更新"), BM_CLICK, 0, 0);
  pump();
  expect_verdict("标签1", "发现新版", window::kRed);  // the 测试版 section names another archive
}

TEST_F(VersionCheck, an_upper_case_remote_digest_is_the_same_release) {
  std::string text = configuration_for(kEngine, kFeature, kAntiCheat, kTools);
  const std::string lower = md5_hex(kAntiCheat), upper = md5_hex(kAntiCheat, true);
  text.replace(text.find(lower), lower.size(), upper);
  publish_configuration(text);
  open_main_window();
  expect_verdict("标签3", "最新版", window::kGreen);
}

TEST_F(VersionCheck, a_configuration_without_the_anti_cheat_word_is_rejected) {
  std::string text = configuration_for(kEngine, kFeature, kAntiCheat, kTools);
  text.replace(text.find("[反挂]"), 6, "[防挂]");
  publish_configuration(text);
  open_main_window();
  EXPECT_EQ(window::caption("透明标签1"), "读取远程配置失败");
  EXPECT_EQ(window::caption("标签1"), "");
}

TEST_F(VersionCheck, a_missing_feature_digest_stops_after_the_engine_verdict) {
  open_main_window();
  put_program_file("反挂.zip", "a changed anti-cheat");
  put_program_file("工具.zip", kTools);
  std::string text = configuration_for(kEngine, kFeature, kAntiCheat, kTools);
  const std::string feature_md5 = "MD5=" + md5_hex(kFeature) + "\r\n";
  text.erase(text.find(feature_md5), feature_md5.size());
  publish_configuration(text);
  SendMessageA(unit_handle("按钮_检查更新"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(window::caption("透明标签1"), "功能插件MD5 错误");
  expect_verdict("标签1", "最新版", window::kGreen);
  expect_verdict("标签3", "最新版", window::kGreen);  // as it was, though the archive changed
  expect_verdict("标签5", "发现新版", window::kRed);
}

TEST_F(VersionCheck, settings_come_from_config_ini_and_are_written_by_their_events) {
  put_program_file("Config.ini", "[Download]\r\nAuto=1\r\nTime=6\r\n");
  open_main_window();
  EXPECT_TRUE(window::checked("选择框_检查更新"));
  EXPECT_EQ(window::content("编辑框1"), "6");
  EXPECT_TRUE(window::checked("单选框2"));

  const std::string ini = program_directory() + "Config.ini";
  auto ini_value = [&](const char* section, const char* key) {
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "absent", value, sizeof value, ini.c_str());
    return std::string(value);
  };
  window::set_caption("编辑框1", "12");
  SendMessageA(unit_handle("选择框_检查更新"), BM_CLICK, 0, 0);  // now unchecked
  pump();
  EXPECT_EQ(ini_value("Download", "Auto"), "0");
  EXPECT_EQ(ini_value("Download", "Time"), "12");

  window::set_caption("编辑框1", "48");
  SendMessageA(unit_handle("编辑框1"), WM_SETFOCUS, 0, 0);
  SetFocus(unit_handle("编辑框1"));
  SetFocus(unit_handle("按钮_检查更新"));  // 编辑框1 loses the focus
  pump();
  EXPECT_EQ(ini_value("Download", "Time"), "48");

  // The test edition's radio box is hidden in the template; an operator
  // reaches it only once it is shown.
  window::set_visible("单选框1", true);
  SendMessageA(unit_handle("单选框1"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(ini_value("霁川版本", "版本"), "0");
  SendMessageA(unit_handle("单选框2"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(ini_value("霁川版本", "版本"), "1");
}

TEST_F(VersionCheck, a_non_numeric_interval_checks_at_every_tick) {
  open_main_window();
  window::set_checked("选择框_检查更新", true);
  window::set_caption("编辑框1", "每天");
  put_program_file("功能.zip", kFeature);  // now current: a check would say so
  Sleep(5);
  OnCheckTimer();
  expect_verdict("标签2", "最新版", window::kGreen);

  window::set_caption("编辑框1", "24");
  put_program_file("功能.zip", "older again");
  OnCheckTimer();  // 24 hours have not passed
  expect_verdict("标签2", "最新版", window::kGreen);
}

}  // namespace
}  // namespace updater::testing
