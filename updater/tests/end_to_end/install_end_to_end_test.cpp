// Installs through the real window with the ZIP unpacker: the demo packages
// unpacked into their staging directories and copied into a server root,
// with a missing root, the plug-in lists, the messages in order, a second
// install button pressed while the first install walks its staging tree, and
// an archive cut short.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "updater/list_files.h"
#include "updater/main_window_units.h"
#include "updater/tests/end_to_end/end_to_end_support.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

class InstallEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(start_like_a_fresh_program());
    set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
    for (const char* archive : {"霁川.zip", "功能.zip", "反挂.zip", "工具.zip"})
      write_file(program_directory() + archive, demo_package(archive));
    m_root = program_directory() + "端到端\\服务端\\";
    remove_tree(program_directory() + "端到端");
    for (const char* part : {"DBServer", "LoginGate", "Mir200", "RunGate", "SelGate"}) make_directories(m_root + part);
    write_file(m_root + "Mir200\\PlugList.txt", "tqgm2.dll\r\nMyShop.dll\r\n");
    m_missing = program_directory() + "端到端\\没有的服务端";
    open_main_window();
  }
  void TearDown() override { close_main_window(); }

  // What the install put under the root, relative, sorted; its backup of
  // what it replaced left out.
  std::vector<std::string> installed() const {
    std::vector<std::string> relative;
    for (const std::string& file : ListFiles(m_root))
      if (file.rfind(m_root + "_updater_backup\\", 0) != 0) relative.push_back(file.substr(m_root.size()));
    std::sort(relative.begin(), relative.end());
    return relative;
  }

  // Every installed file has the bytes of its staging file.
  void expect_same_as_staging(const std::string& staging_root, const std::vector<std::string>& files) const {
    const std::vector<std::string> staged = ListFiles(program_directory() + staging_root);
    for (const std::string& relative : files) {
      if (relative == "Mir200\\PlugList.txt") continue;
      const auto source = std::find_if(staged.begin(), staged.end(), [&](const std::string& s) {
        return s.size() > relative.size() && s.compare(s.size() - relative.size(), relative.size(), relative) == 0;
      });
      ASSERT_NE(source, staged.end()) << relative << " is not in the staging tree";
      EXPECT_EQ(read_file(m_root + relative), read_file(*source)) << relative;
    }
  }

  std::string m_root, m_missing;
};

TEST_F(InstallEndToEnd, the_engine_goes_into_the_existing_root_and_the_missing_one_is_reported) {
  window::set_caption("编辑框_霁川目录", m_root + "\r\n" + m_missing);
  BoxRecorder boxes;
  SendMessageA(unit_handle("按钮_安装霁川"), BM_CLICK, 0, 0);
  pump();

  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{m_missing + "目录不存在", "安装完成"}));
  for (const auto& box : boxes.boxes()) EXPECT_EQ(box.owner, main_window_handle()) << box.text;
  const std::vector<std::string> expected = {
      "DBServer\\!Setup.txt",        "DBServer\\DBServer.exe",
      "Mir200\\!Setup.txt",          "Mir200\\Envir\\MapInfo.txt",
      "Mir200\\Envir\\Market_Def\\QManage.txt", "Mir200\\M2PocketX86.dll",
      "Mir200\\M2Server.exe",        "Mir200\\PlugList.txt",
      "SelGate\\SelGate.exe",        "霁川引擎控制台.exe",
  };
  std::vector<std::string> sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(installed(), sorted);
  expect_same_as_staging("霁川", expected);
  // The server's own list, not the engine's: rewritten, never copied over.
  EXPECT_EQ(read_file(m_root + "Mir200\\PlugList.txt"), "MyShop.dll\r\nM2PocketX86.dll\r\nTQGM2PlusLoad.dll\r\n");
  EXPECT_FALSE(exists(m_missing));
}

TEST_F(InstallEndToEnd, the_feature_plug_in_creates_the_directories_it_needs) {
  remove_tree(m_root + "Mir200");
  window::set_caption("编辑框_功能目录", m_root);
  BoxRecorder boxes;
  SendMessageA(unit_handle("按钮_安装功能"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"安装完成"}));
  const std::vector<std::string> files = installed();
  EXPECT_NE(std::find(files.begin(), files.end(), "Mir200\\TQGM2PlusLoad.dll"), files.end());
  EXPECT_TRUE(std::any_of(files.begin(), files.end(), [](const std::string& f) { return f.rfind("Mir200\\Envir\\", 0) == 0; }));
  expect_same_as_staging("功能插件", files);
  EXPECT_FALSE(exists(m_root + "Mir200\\PlugList.txt"));  // the root had none: none is made
}

TEST_F(InstallEndToEnd, a_second_install_pressed_during_the_first_is_ignored) {
  window::set_caption("编辑框_霁川目录", m_root);
  window::set_caption("编辑框_功能目录", m_root);
  BoxRecorder boxes;
  // Queued now, handled while the engine's install walks its staging tree.
  PostMessageA(unit_handle("按钮_安装功能"), BM_CLICK, 0, 0);
  SendMessageA(unit_handle("按钮_安装霁川"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"安装完成"}));
  EXPECT_FALSE(exists(m_root + "Mir200\\TQGM2PlusLoad.dll"));
  EXPECT_FALSE(exists(program_directory() + "功能插件"));
}

// An archive cut short, as a download that stopped halfway would leave it:
// it starts like a ZIP archive but has no directory at its end.
TEST_F(InstallEndToEnd, a_cut_archive_shows_the_rows_failure_text_and_installs_nothing) {
  const std::string engine = demo_package("霁川.zip");
  write_file(program_directory() + "霁川.zip", engine.substr(0, engine.size() / 2));
  window::set_caption("编辑框_霁川目录", m_root);
  BoxRecorder boxes;
  SendMessageA(unit_handle("按钮_安装霁川"), BM_CLICK, 0, 0);
  pump();
  ASSERT_EQ(boxes.texts(), (std::vector<std::string>{"解压霁川.zip 失败"}));
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
  EXPECT_EQ(installed(), (std::vector<std::string>{"Mir200\\PlugList.txt"}));
  EXPECT_EQ(read_file(m_root + "Mir200\\PlugList.txt"), "tqgm2.dll\r\nMyShop.dll\r\n");
  EXPECT_EQ(state().install_busy, 0);
}

TEST_F(InstallEndToEnd, the_tools_are_only_unpacked) {
  BoxRecorder boxes;
  SendMessageA(unit_handle("按钮_工具安装"), BM_CLICK, 0, 0);
  pump();
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"安装完成"}));
  EXPECT_EQ(boxes.boxes()[0].owner, main_window_handle());
  EXPECT_FALSE(ListFiles(program_directory() + "其他工具").empty());
}

}  // namespace
}  // namespace updater::testing
