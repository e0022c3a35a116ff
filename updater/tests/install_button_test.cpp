// The engine's install button with the real unpacker and the demo engine
// package: a server program running in the first of two roots keeps that
// root exactly as it was, and the second root is updated in full.
#include <windows.h>

#include <gtest/gtest.h>

#include "updater/backup_set.h"
#include "updater/main_window_units.h"
#include "updater/tests/file_holder.h"
#include "updater/tests/tree_snapshot.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

// The Unix folder the build wrote the demo packages to, as Wine shows it (drive Z:).
std::string demo_package(const char* archive) {
  std::string path = "Z:" UPDATER_DEMO_PACKAGES_DIR "\\";
  for (char& c : path)
    if (c == '/') c = '\\';
  return read_file(path + archive);
}

class InstallButton : public ::testing::Test {
 protected:
  void SetUp() override {
    put_program_file("Config.ini", "");
    set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
    const std::string archive = demo_package("霁川.zip");
    ASSERT_FALSE(archive.empty());
    write_file(program_directory() + "霁川.zip", archive);
    open_main_window();  // the archive is there: the install button is enabled
  }
  void TearDown() override {
    put_program_file("霁川.zip", "");
    close_main_window();
  }

  // A server root of an older release, ending in "\".
  static std::string server_root(const std::string& name) {
    const std::string root = program_directory() + "安装按钮\\" + name + "\\";
    remove_tree(root);
    for (const char* part : {"DBServer", "LoginGate", "Mir200", "RunGate", "SelGate"}) make_directories(root + part);
    write_file(root + "Mir200\\M2Server.exe", "the server of the last release");
    write_file(root + "DBServer\\DBServer.exe", "the database of the last release");
    write_file(root + "Mir200\\PlugList.txt", "tqgm2.dll\r\nMyShop.dll\r\n");
    return root;
  }
};

TEST_F(InstallButton, leaves_a_root_whose_server_runs_as_it_was_and_updates_the_next_one) {
  const std::string running = server_root("运行中"), stopped = server_root("已停止");
  window::set_caption("编辑框_霁川目录", running + "\r\n" + stopped);
  ASSERT_TRUE(IsWindowEnabled(unit_handle("按钮_安装霁川")));
  const Tree before = snapshot(running, BackupFolder::Include);
  BoxRecorder boxes;
  {
    const FileHolder server(running + "Mir200\\M2Server.exe");
    ASSERT_TRUE(server.holding());
    SendMessageA(unit_handle("按钮_安装霁川"), BM_CLICK, 0, 0);
    pump();
  }

  ASSERT_EQ(boxes.texts().size(), 2u);
  const std::string failed = "安装到 " + running + " 失败\r\nMir200\\M2Server.exe";
  EXPECT_EQ(boxes.texts()[0].substr(0, failed.size()), failed);
  EXPECT_EQ(boxes.texts()[1], "安装完成");
  EXPECT_EQ(snapshot(running, BackupFolder::Include), before);

  // Every engine file of the package, from the staging tree, and the list.
  const std::string staged = program_directory() + "霁川\\";
  Tree expected = {{"LoginGate", "<directory>"},
                   {"RunGate", "<directory>"},
                   {"Mir200\\PlugList.txt", "MyShop.dll\r\nM2PocketX86.dll\r\nTQGM2PlusLoad.dll\r\n"},
                   {"霁川引擎控制台.exe", read_file(staged + "霁川引擎控制台.exe")}};
  for (const auto& [relative, content] : snapshot(staged + "霁川引擎\\")) {
    const bool component = relative.rfind("DBServer", 0) == 0 || relative.rfind("Mir200", 0) == 0 ||
                           relative.rfind("SelGate", 0) == 0;
    if (component && relative != "Mir200\\PlugList.txt") expected[relative] = content;
  }
  EXPECT_EQ(snapshot(stopped), expected);
  const std::vector<Backup> backups = backups_of(stopped, "霁川");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(read_file(backups[0].folder + "Mir200\\M2Server.exe"), "the server of the last release");
  EXPECT_EQ(read_file(backups[0].folder + "mir200\\PlugList.txt"), "tqgm2.dll\r\nMyShop.dll\r\n");
}

}  // namespace
}  // namespace updater::testing
