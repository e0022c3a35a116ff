// Installing a package on the real main window, from a staging tree the test
// lays out itself: which files go where, the server roots of the edit box,
// the plug-in lists, the messages and their order, and the pieces that walk
// and clear directories through the program's declared DLL functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "updater/delete_tree.h"
#include "updater/install_items.h"
#include "updater/list_files.h"
#include "updater/main_window_units.h"
#include "updater/package_install.h"
#include "updater/plug_list.h"
#include "updater/pump_messages.h"
#include "updater/tests/file_holder.h"
#include "updater/tests/tree_snapshot.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

// A fresh scratch directory in the program directory, ending in "\".
std::string scratch(const std::string& name) { return fresh_directory("安装测试", name); }

void make_read_only(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }

TEST(PlugList, drops_retired_and_empty_lines_and_appends_the_missing_loaders) {
  const std::vector<std::string> feature = {"TQGM2PlusLoad.dll"};
  const std::vector<std::string> engine = {"M2PocketX86.dll", "TQGM2PlusLoad.dll"};
  const struct {
    const char* name;
    std::string list;
    std::vector<std::string> names;
    std::string expected;
  } cases[] = {
      {"feature over a retired name in lower case", "tqgm2.dll\r\nOther.dll\r\nTQGM2PlusLoad.dll", feature,
       "Other.dll\r\nTQGM2PlusLoad.dll\r\n"},
      {"engine over the same list", "tqgm2.dll\r\nOther.dll\r\nTQGM2PlusLoad.dll", engine,
       "Other.dll\r\nTQGM2PlusLoad.dll\r\nM2PocketX86.dll\r\n"},
      {"every retired name", "KTPlugIn.dll\r\nrvextendx86.dll\r\nRVExtendX64.DLL\r\nhsp.dll\r\nTQGM2Load.dll\r\n",
       feature, "TQGM2PlusLoad.dll\r\n"},
      {"empty lines", "\r\n\r\nA.dll\r\n\r\n", feature, "A.dll\r\nTQGM2PlusLoad.dll\r\n"},
      {"a loader in other case is another name", "tqgm2plusload.dll\r\n", feature,
       "tqgm2plusload.dll\r\nTQGM2PlusLoad.dll\r\n"},
      {"a name with more than the retired one is kept", "TQGM2.dll.bak\r\n", feature,
       "TQGM2.dll.bak\r\nTQGM2PlusLoad.dll\r\n"},
      {"a list that was all retired names", "hsp.dll\r\n", {}, ""},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> rewritten = rewritten_plug_list(c.list, c.names);
    ASSERT_TRUE(rewritten) << c.name;
    EXPECT_EQ(*rewritten, c.expected) << c.name;
  }
  EXPECT_FALSE(rewritten_plug_list("", feature));
}

TEST(PlugList, is_rewritten_in_place_and_never_created) {
  const std::string root = scratch("列表");
  make_directories(root + "Mir200");
  write_file(root + "Mir200\\PlugList.txt", std::string("tqgm2.dll\r\nOther.dll\r\nTQGM2PlusLoad.dll\r\n\0tail", 45));
  UpdatePlugList(root, {"M2PocketX86.dll", "TQGM2PlusLoad.dll"});
  // The text ends at the zero byte; what follows it is gone with the rewrite.
  EXPECT_EQ(read_file(root + "Mir200\\PlugList.txt"), "Other.dll\r\nTQGM2PlusLoad.dll\r\nM2PocketX86.dll\r\n");
  EXPECT_EQ(ListFiles(root), (std::vector<std::string>{root + "Mir200\\PlugList.txt"}));  // no temporary file left

  const std::string bare = scratch("无列表");
  make_directories(bare + "mir200");
  UpdatePlugList(bare, {"TQGM2PlusLoad.dll"});
  EXPECT_FALSE(exists(bare + "mir200\\PlugList.txt"));
  UpdatePlugList(scratch("无目录"), {"TQGM2PlusLoad.dll"});
}

TEST(PlugList, a_list_that_cannot_be_replaced_stays_whole) {
  const std::string root = scratch("只读列表");
  make_directories(root + "mir200");
  const std::string list = root + "mir200\\PlugList.txt";
  write_file(list, "hsp.dll\r\nOther.dll\r\n");
  {
    const HeldOpen editor(list);
    UpdatePlugList(root, {"TQGM2PlusLoad.dll"});
  }
  EXPECT_EQ(read_file(list), "hsp.dll\r\nOther.dll\r\n");
  EXPECT_EQ(ListFiles(root), (std::vector<std::string>{list}));
}

TEST(DeleteTree, removes_read_only_files_at_every_level) {
  const std::string root = scratch("删除");
  make_directories(root + "霁川\\Mir200\\Envir");
  make_directories(root + "霁川\\空目录");
  for (const char* file : {"霁川\\说明.txt", "霁川\\Mir200\\M2Server.exe", "霁川\\Mir200\\Envir\\MapInfo.txt"}) {
    write_file(root + file, "content");
    make_read_only(root + file);
  }
  DeleteTree(root + "霁川");
  EXPECT_FALSE(exists(root + "霁川"));
  EXPECT_TRUE(exists(root));

  make_directories(root + "带斜杠\\子");
  write_file(root + "带斜杠\\子\\a.txt", "a");
  DeleteTree(root + "带斜杠\\");
  EXPECT_FALSE(exists(root + "带斜杠"));
  DeleteTree(root + "不存在");  // nothing to do, nothing reported
}

TEST(ListFiles, gives_a_directorys_files_before_those_of_its_subdirectories) {
  const std::string root = scratch("列出");
  make_directories(root + "子目录一\\更深");
  make_directories(root + "子目录二");
  for (const char* file : {"b.txt", "a.txt", "子目录一\\c.txt", "子目录一\\更深\\d.txt", "子目录二\\e.txt"})
    write_file(root + file, "x");

  for (const std::string& directory : {root, root.substr(0, root.size() - 1)}) {
    const std::vector<std::string> files = ListFiles(directory);
    ASSERT_EQ(files.size(), 5u) << directory;
    auto at = [&](const char* name) {
      return std::find(files.begin(), files.end(), root + name) - files.begin();
    };
    for (const char* name : {"a.txt", "b.txt", "子目录一\\c.txt", "子目录一\\更深\\d.txt", "子目录二\\e.txt"})
      EXPECT_LT(at(name), 5) << name << " missing from the list of " << directory;
    EXPECT_LT(std::max(at("a.txt"), at("b.txt")), std::min(at("子目录一\\c.txt"), at("子目录二\\e.txt")));
    EXPECT_EQ(at("子目录一\\更深\\d.txt"), at("子目录一\\c.txt") + 1);  // the subdirectory's own file, then its subtree
  }
  EXPECT_TRUE(ListFiles(root + "不存在").empty());
}

TEST(PumpMessages, handles_what_is_waiting_and_leaves_a_quit_request_for_the_loop) {
  const HWND window = CreateWindowExA(0, "STATIC", "closing", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  PostQuitMessage(7);
  PumpMessages();
  EXPECT_FALSE(IsWindow(window));  // the close was handled
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the quit is still there, once
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST(InstallItems, start_at_the_marker_and_follow_every_marker_a_path_holds) {
  const std::vector<std::string> engine = {"\\DBServer\\", "\\mir200\\", "\\SelGate\\", "\\霁川引擎控制台"};
  const std::vector<std::string> feature = {"\\DBServer\\", "\\LoginGate\\", "\\Mir200\\", "\\Zenkoru引擎控制器",
                                            "\\tqgctl"};
  const std::string s = "C:\\下载器\\霁川\\";
  const struct {
    const char* name;
    std::string file;
    const std::vector<std::string>* markers;
    std::vector<std::string> relative;
  } cases[] = {
      {"marker in other case", s + "霁川引擎\\Mir200\\M2Server.exe", &engine, {"Mir200\\M2Server.exe"}},
      {"deeper path", s + "插件\\Mir200\\Envir\\MapInfo.txt", &feature, {"Mir200\\Envir\\MapInfo.txt"}},
      {"no marker", s + "霁川引擎\\版本说明.txt", &engine, {}},
      {"not a marker of this package", s + "LoginGate\\LoginGate.exe", &engine, {}},
      {"marker without a trailing backslash", s + "霁川引擎控制台.exe", &engine, {"霁川引擎控制台.exe"}},
      {"marker beginning a file name", s + "tqgctl.exe", &feature, {"tqgctl.exe"}},
      {"two markers, in marker order", s + "DBServer\\Mir200\\x.txt", &feature,
       {"DBServer\\Mir200\\x.txt", "Mir200\\x.txt"}},
      {"a name that only contains the marker's letters", s + "XDBServer\\a.txt", &engine, {}},
  };
  for (const auto& c : cases) {
    const std::vector<InstallItem> items = pick_install_items({c.file}, *c.markers);
    std::vector<std::string> relative;
    for (const InstallItem& item : items) {
      EXPECT_EQ(item.source, c.file) << c.name;
      relative.push_back(item.relative);
    }
    EXPECT_EQ(relative, c.relative) << c.name;
  }
  // Listing order is kept across files.
  const std::vector<InstallItem> two = pick_install_items({s + "b\\SelGate\\1", s + "a\\DBServer\\2"}, engine);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].relative, "SelGate\\1");
  EXPECT_EQ(two[1].relative, "DBServer\\2");
}

TEST(InstallTargets, are_the_lines_of_the_edit_box) {
  const struct {
    std::string content;
    std::vector<std::string> targets;
  } cases[] = {
      {"D:\\Mirserver", {"D:\\Mirserver"}},
      {"D:\\一区\r\nE:\\二区", {"D:\\一区", "E:\\二区"}},
      {"D:\\一区\r\n\r\nE:\\二区", {"D:\\一区", "", "E:\\二区"}},
      {"D:\\一区\r\n", {"D:\\一区"}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(split_targets(c.content), c.targets) << "content \"" << c.content << "\"";
}

// The engine's archive as it lies unpacked in its staging directory.
class StagedInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    put_program_file("Config.ini", "");
    set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
    open_main_window();
    m_staging = scratch("霁川");
    const std::string e = m_staging + "霁川引擎\\";
    make_directories(e + "DBServer");
    make_directories(e + "Mir200\\Envir");
    make_directories(e + "LoginGate");
    make_directories(e + "SelGate");
    for (const char* file : {"DBServer\\DBServer.exe", "Mir200\\M2Server.exe", "Mir200\\PlugList.txt",
                             "Mir200\\Envir\\MapInfo.txt", "LoginGate\\LoginGate.exe", "SelGate\\SelGate.exe",
                             "版本说明.txt"})
      write_file(e + file, std::string("content of ") + file);
    write_file(m_staging + "霁川引擎控制台.exe", "the engine's console");
  }
  void TearDown() override { close_main_window(); }

  // A server root with its components and plug-in list, ending in "\".
  static std::string server_root(const std::string& name) {
    const std::string root = scratch(name);
    make_directories(root + "Mir200");
    make_directories(root + "DBServer");
    write_file(root + "Mir200\\PlugList.txt", "KTPlugIn.dll\r\nOther.dll\r\n");
    return root;
  }

  std::string m_staging;
};

TEST_F(StagedInstall, copies_the_components_into_each_root_and_reports_a_missing_one) {
  const std::string root = server_root("服务端一");
  const std::string missing = program_directory() + "安装测试\\没有这个目录";
  window::set_caption("编辑框_霁川目录", root.substr(0, root.size() - 1) + "\r\n" + missing);
  BoxRecorder boxes;
  install_from_staging(install_row(Package::Engine), m_staging);

  ASSERT_EQ(boxes.texts(), (std::vector<std::string>{missing + "目录不存在", "安装完成"}));
  for (const auto& box : boxes.boxes()) {
    EXPECT_EQ(box.owner, main_window_handle()) << box.text;
    EXPECT_EQ(box.caption, "信息：") << box.text;
  }
  const std::string e = "霁川引擎\\";
  const struct {
    const char* installed;
    std::string from;
  } expected[] = {
      {"DBServer\\DBServer.exe", e + "DBServer\\DBServer.exe"},
      {"Mir200\\M2Server.exe", e + "Mir200\\M2Server.exe"},
      {"Mir200\\Envir\\MapInfo.txt", e + "Mir200\\Envir\\MapInfo.txt"},
      {"SelGate\\SelGate.exe", e + "SelGate\\SelGate.exe"},
      {"霁川引擎控制台.exe", "霁川引擎控制台.exe"},
  };
  std::vector<std::string> listed = ListFiles(root);
  // Apart from the install's backup, which has a test of its own.
  listed.erase(std::remove_if(listed.begin(), listed.end(),
                              [&](const std::string& f) { return f.rfind(root + "_updater_backup\\", 0) == 0; }),
               listed.end());
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> wanted = {root + "Mir200\\PlugList.txt"};
  for (const auto& x : expected) {
    wanted.push_back(root + x.installed);
    EXPECT_EQ(read_file(root + x.installed), read_file(m_staging + x.from)) << x.installed;
  }
  std::sort(wanted.begin(), wanted.end());
  EXPECT_EQ(listed, wanted);  // nothing else: no LoginGate, no notes, not the engine's own PlugList.txt
  EXPECT_EQ(read_file(root + "Mir200\\PlugList.txt"), "Other.dll\r\nM2PocketX86.dll\r\nTQGM2PlusLoad.dll\r\n");
  EXPECT_FALSE(exists(missing));
}

TEST_F(StagedInstall, a_root_with_a_file_in_use_is_left_untouched_and_the_next_root_is_installed) {
  const std::string blocked = server_root("服务端二");
  const std::string fine = server_root("服务端三");
  write_file(blocked + "Mir200\\M2Server.exe", "a server that is running");
  window::set_caption("编辑框_霁川目录", blocked + "\r\n" + fine.substr(0, fine.size() - 1) + "\r\n");
  const Tree before = snapshot(blocked, BackupFolder::Include);
  BoxRecorder boxes;
  {
    const FileHolder running(blocked + "Mir200\\M2Server.exe");
    ASSERT_TRUE(running.holding());
    install_from_staging(install_row(Package::Engine), m_staging);
  }

  ASSERT_EQ(boxes.texts().size(), 2u);
  // The file alone where the system cannot tell who holds it (Wine), else
  // followed by the holding program in brackets.
  const std::string failed = "安装到 " + blocked + " 失败\r\nMir200\\M2Server.exe";
  EXPECT_EQ(boxes.texts()[0].substr(0, failed.size()), failed);
  EXPECT_TRUE(boxes.texts()[0].size() == failed.size() || boxes.texts()[0].substr(failed.size(), 2) == " (")
      << boxes.texts()[0];
  EXPECT_EQ(boxes.boxes()[0].owner, main_window_handle());
  EXPECT_EQ(boxes.texts()[1], "安装完成");
  EXPECT_EQ(snapshot(blocked, BackupFolder::Include), before);  // plug-in list included, not even a backup folder
  const Tree updated = {
      {"DBServer", "<directory>"},
      {"DBServer\\DBServer.exe", "content of DBServer\\DBServer.exe"},
      {"Mir200", "<directory>"},
      {"Mir200\\Envir", "<directory>"},
      {"Mir200\\Envir\\MapInfo.txt", "content of Mir200\\Envir\\MapInfo.txt"},
      {"Mir200\\M2Server.exe", "content of Mir200\\M2Server.exe"},
      {"Mir200\\PlugList.txt", "Other.dll\r\nM2PocketX86.dll\r\nTQGM2PlusLoad.dll\r\n"},
      {"SelGate", "<directory>"},
      {"SelGate\\SelGate.exe", "content of SelGate\\SelGate.exe"},
      {"霁川引擎控制台.exe", "the engine's console"},
  };
  EXPECT_EQ(snapshot(fine), updated);
}

TEST_F(StagedInstall, the_anti_cheat_plug_in_leaves_the_plug_in_list_alone) {
  make_directories(m_staging + "反挂\\RunGate");
  write_file(m_staging + "反挂\\RunGate\\RunGate.exe", "guarded gate");
  const std::string root = server_root("服务端四");
  window::set_caption("编辑框_反挂目录", root);
  BoxRecorder boxes;
  install_from_staging(install_row(Package::AntiCheat), m_staging);
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"安装完成"}));
  EXPECT_EQ(read_file(root + "RunGate\\RunGate.exe"), "guarded gate");
  EXPECT_EQ(read_file(root + "Mir200\\PlugList.txt"), "KTPlugIn.dll\r\nOther.dll\r\n");
}

TEST_F(StagedInstall, an_empty_edit_box_only_says_it_is_done) {
  window::set_caption("编辑框_功能目录", "");
  BoxRecorder boxes;
  install_from_staging(install_row(Package::Feature), m_staging);
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"安装完成"}));
}

// The install buttons, with archives that cannot be unpacked.
class InstallClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    put_program_file("Config.ini", "");
    set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
    for (const char* archive : {"霁川.zip", "功能.zip", "反挂.zip", "工具.zip"})
      put_program_file(archive, "this is not a ZIP archive");
    open_main_window();
    state().download_busy = 0;
    state().install_busy = 0;
  }
  void TearDown() override {
    state().download_busy = 0;
    state().install_busy = 0;
    close_main_window();
  }
  static void click(const char* button) {
    SendMessageA(unit_handle(button), BM_CLICK, 0, 0);
    pump();
  }
};

TEST_F(InstallClicks, an_archive_that_cannot_be_unpacked_shows_the_rows_text_without_a_parent) {
  const struct {
    const char* button;
    const char* staging;
    const char* message;
  } cases[] = {
      {"按钮_安装霁川", "霁川", "解压霁川.zip 失败"},
      {"按钮_安装功能", "功能插件", "解压功能.zip 失败"},
      {"按钮_安装反挂", "反挂插件", "解压 反挂.zip 失败"},
      {"按钮_工具安装", "其他工具", "解压 工具.zip 失败"},
  };
  for (const auto& c : cases) {
    const std::string staging = program_directory() + c.staging;
    make_directories(staging + "\\上次");
    write_file(staging + "\\上次\\旧文件.txt", "from the previous install");
    BoxRecorder boxes;
    click(c.button);
    ASSERT_EQ(boxes.boxes().size(), 1u) << c.button;
    EXPECT_EQ(boxes.boxes()[0].text, c.message) << c.button;
    EXPECT_EQ(boxes.boxes()[0].owner, nullptr) << c.button;
    EXPECT_FALSE(exists(staging + "\\上次\\旧文件.txt")) << c.button << ": the staging directory is cleared first";
    EXPECT_EQ(state().install_busy, 0) << c.button;
  }
}

TEST_F(InstallClicks, are_ignored_while_an_install_runs_or_the_package_downloads) {
  {
    state().install_busy = 1;
    BoxRecorder boxes;
    click("按钮_安装功能");
    click("按钮_工具安装");
    EXPECT_TRUE(boxes.texts().empty());
    state().install_busy = 0;
  }
  state().download_busy = 1;
  state().download.package = Package::Feature;
  {
    BoxRecorder boxes;
    click("按钮_安装功能");
    EXPECT_TRUE(boxes.texts().empty());
  }
  {
    BoxRecorder boxes;  // another package's download is no reason to wait
    click("按钮_安装反挂");
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"解压 反挂.zip 失败"}));
  }
}

}  // namespace
}  // namespace updater::testing
