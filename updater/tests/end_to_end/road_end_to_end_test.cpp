// The road of one update through the real window: the first check finds a
// newer engine, "下载" fetches it with the progress display, the check turns
// to "最新版" and enables "安装", which installs it into the server root.
#include <windows.h>

#include <gtest/gtest.h>

#include "updater/main_window_units.h"
#include "updater/tests/end_to_end/end_to_end_support.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

TEST(RoadOfAnUpdate, download_then_install_the_engine) {
  ASSERT_TRUE(server().running()) << server().problem;
  set_config_url(server().url("/xiazaiqi/xiazai2.txt"));
  ASSERT_NO_FATAL_FAILURE(start_like_a_fresh_program());
  put_program_file("霁川.zip", "an engine release from last year");
  serve_demo_packages();
  const std::string root = program_directory() + "道路\\Mirserver\\";
  remove_tree(program_directory() + "道路");
  make_directories(root + "Mir200");
  write_file(root + "Mir200\\PlugList.txt", "HSP.dll\r\n");
  open_main_window();
  EXPECT_EQ(window::caption("标签1"), "发现新版");

  const WatchedDownload watched = download_through_the_window("按钮_下载霁川");
  ASSERT_TRUE(watched.ended);
  EXPECT_TRUE(watched.display_shown);
  EXPECT_EQ(read_file(program_directory() + "霁川.zip"), demo_package("霁川.zip"));
  EXPECT_EQ(window::caption("标签1"), "最新版");

  window::set_caption("编辑框_霁川目录", root);
  BoxRecorder boxes;
  SendMessageA(unit_handle("按钮_安装霁川"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"安装完成"}));
  EXPECT_TRUE(exists(root + "Mir200\\M2Server.exe"));
  EXPECT_EQ(read_file(root + "Mir200\\PlugList.txt"), "M2PocketX86.dll\r\nTQGM2PlusLoad.dll\r\n");
  close_main_window();
}

}  // namespace
}  // namespace updater::testing
