// Installs that are all or nothing per server root, and rolling them back,
// on the real main window: a copy that fails halfway, the rollback group on
// the page "设置" and its messages, and the units that were there before it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>

#include "units/window_units.h"
#include "updater/backup_set.h"
#include "updater/backup_set_detail.h"
#include "updater/install_items.h"
#include "updater/list_files.h"
#include "updater/main_window_units.h"
#include "updater/package_install.h"
#include "updater/tests/tree_snapshot.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

// A fresh scratch directory in the program directory, ending in "\".
std::string scratch(const std::string& name) { return fresh_directory("安装安全", name); }

// Shows a page of the tab as a click on its header does.
void select_page(int page) {
  const HWND tab = unit_handle("选择夹1");
  NMHDR header = {tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageA(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  SendMessageA(tab, TCM_SETCURSEL, page, 0);
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageA(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  pump();
}

void click(const char* unit) {
  SendMessageA(unit_handle(unit), BM_CLICK, 0, 0);
  pump();
}

// The engine's archive unpacked, with the content of one release.
void stage_engine(const std::string& staging, const std::string& release) {
  remove_tree(staging);
  const std::string e = staging + "霁川引擎\\";
  for (const char* directory : {"DBServer", "Mir200\\Envir", "SelGate"}) make_directories(e + directory);
  for (const char* file : {"DBServer\\DBServer.exe", "Mir200\\M2Server.exe", "Mir200\\M2PocketX86.dll",
                           "Mir200\\PlugList.txt", "Mir200\\Envir\\MapInfo.txt", "SelGate\\SelGate.exe"})
    write_file(e + file, release + " " + file);
  write_file(staging + "霁川引擎控制台.exe", release + " console");
}

class SafeInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    put_program_file("Config.ini", "");
    set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
    open_main_window();
    m_staging = scratch("霁川");
    stage_engine(m_staging, "release 1");
  }
  void TearDown() override { close_main_window(); }

  // A server root of an older release, ending in "\".
  static std::string server_root(const std::string& name) {
    const std::string root = scratch(name);
    make_directories(root + "Mir200\\Envir");
    make_directories(root + "DBServer");
    write_file(root + "Mir200\\M2Server.exe", "release 0 server");
    write_file(root + "Mir200\\Envir\\MapInfo.txt", "release 0 maps");
    write_file(root + "DBServer\\DBServer.exe", "release 0 database");
    write_file(root + "Mir200\\PlugList.txt", "hsp.dll\r\nMyShop.dll\r\n");
    return root;
  }

  // The messages the install showed.
  std::vector<std::string> install_engine_into(const std::string& roots) {
    window::set_caption("编辑框_霁川目录", roots);
    BoxRecorder boxes;
    install_from_staging(install_row(Package::Engine), m_staging);
    for (const auto& box : boxes.boxes()) EXPECT_EQ(box.owner, main_window_handle()) << box.text;
    return boxes.texts();
  }

  std::string m_staging;
};

TEST_F(SafeInstall, a_copy_that_fails_halfway_leaves_the_root_as_it_was_and_keeps_what_it_replaced) {
  const std::string root = server_root("半途");
  // The last file to be copied finds a directory in its place, with a file
  // of the operator's in it, after every other file has been copied.
  const std::vector<InstallItem> items = pick_install_items(ListFiles(m_staging), install_row(Package::Engine).markers);
  ASSERT_GT(items.size(), 3u);
  const std::string last = items.back().relative;
  make_directories(root + last);
  write_file(root + last + "\\notes.txt", "the operator's");
  const Tree before = snapshot(root);

  EXPECT_EQ(install_engine_into(root),
            (std::vector<std::string>{"安装到 " + root + " 失败\r\n复制 " + last + " 失败", "安装完成"}));
  EXPECT_EQ(snapshot(root), before);
  const std::vector<Backup> backups = backups_of(root, "霁川");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].state, BackupState::Restored);
  // What the install had replaced before it failed, byte for byte.
  const Tree kept = snapshot(backups[0].folder);
  for (const char* replaced : {"DBServer\\DBServer.exe", "Mir200\\M2Server.exe", "Mir200\\Envir\\MapInfo.txt"}) {
    ASSERT_TRUE(kept.count(replaced)) << replaced;
    EXPECT_EQ(kept.at(replaced), before.at(replaced)) << replaced;
  }
  EXPECT_FALSE(kept.count("Mir200\\PlugList.txt")) << "the list was never reached";
}

TEST_F(SafeInstall, an_install_into_two_roots_keeps_a_backup_in_each) {
  const std::string one = server_root("一区"), two = server_root("二区");
  const Tree before = snapshot(one);
  EXPECT_EQ(install_engine_into(one + "\r\n" + two), (std::vector<std::string>{"安装完成"}));
  for (const std::string& root : {one, two}) {
    const std::vector<Backup> backups = backups_of(root, "霁川");
    ASSERT_EQ(backups.size(), 1u) << root;
    EXPECT_EQ(backups[0].state, BackupState::Complete);
    const std::string folder = root + "_updater_backup\\霁川\\";
    EXPECT_EQ(backups[0].folder, folder + backups[0].name + "\\");
    EXPECT_TRUE(detail::is_backup_name(backups[0].name)) << backups[0].name;
    Tree kept = snapshot(backups[0].folder);
    kept.erase("_manifest.txt");
    for (const auto& [relative, content] : kept) {
      if (content == "<directory>") continue;
      EXPECT_EQ(content, before.at(relative)) << relative;
    }
    EXPECT_EQ(kept.size(), 7u) << "DBServer, Mir200, Envir, three replaced files and the list";
  }
}

class Rollback : public SafeInstall {
 protected:
  void choose(const char* radio_box) {
    select_page(1);
    click(radio_box);
  }
};

TEST_F(Rollback, after_two_installs_brings_back_every_file_and_list_from_before_the_second) {
  const std::string one = server_root("回滚一"), two = server_root("回滚二");
  const std::string roots = one + "\r\n" + two.substr(0, two.size() - 1);
  ASSERT_EQ(install_engine_into(roots), (std::vector<std::string>{"安装完成"}));
  // The operator edits a list between the installs; the second install
  // brings new files, new directories and new content.
  write_file(one + "Mir200\\PlugList.txt", read_file(one + "Mir200\\PlugList.txt") + "hsp.dll\r\n");
  const Tree before_second[] = {snapshot(one), snapshot(two)};
  stage_engine(m_staging, "release 2");
  make_directories(m_staging + "霁川引擎\\Mir200\\Envir\\Market_Def");
  write_file(m_staging + "霁川引擎\\Mir200\\Envir\\Market_Def\\QManage.txt", "release 2 market");
  ASSERT_EQ(install_engine_into(roots), (std::vector<std::string>{"安装完成"}));
  ASSERT_NE(snapshot(one), before_second[0]);

  choose("单选框_回滚霁川");
  BoxRecorder boxes;
  click("按钮_回滚上次安装");
  EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"回滚完成"}));
  for (const auto& box : boxes.boxes()) EXPECT_EQ(box.owner, main_window_handle());
  EXPECT_EQ(snapshot(one), before_second[0]);
  EXPECT_EQ(snapshot(two), before_second[1]);
  EXPECT_EQ(read_file(one + "Mir200\\PlugList.txt"),
            "MyShop.dll\r\nM2PocketX86.dll\r\nTQGM2PlusLoad.dll\r\nhsp.dll\r\n");
}

TEST_F(Rollback, says_so_for_each_root_without_a_backup) {
  const std::string installed = server_root("已安装"), untouched = server_root("未安装");
  ASSERT_EQ(install_engine_into(installed), (std::vector<std::string>{"安装完成"}));
  window::set_caption("编辑框_功能目录", installed + "\r\n" + untouched);
  window::set_caption("编辑框_霁川目录", untouched + "\r\n" + installed);

  choose("单选框_回滚功能");
  {
    BoxRecorder boxes;
    click("按钮_回滚上次安装");
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{installed + " 没有可回滚的安装", untouched + " 没有可回滚的安装"}));
  }
  choose("单选框_回滚霁川");
  {
    BoxRecorder boxes;
    click("按钮_回滚上次安装");
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{untouched + " 没有可回滚的安装", "回滚完成"}));
  }
}

TEST_F(Rollback, is_ignored_while_an_install_runs) {
  const std::string root = server_root("安装中");
  ASSERT_EQ(install_engine_into(root), (std::vector<std::string>{"安装完成"}));
  const Tree installed = snapshot(root);
  state().install_busy = 1;
  {
    BoxRecorder boxes;
    choose("单选框_回滚霁川");
    click("按钮_回滚上次安装");
    EXPECT_TRUE(boxes.texts().empty());
  }
  state().install_busy = 0;
  EXPECT_EQ(snapshot(root), installed);
}

// The main window's units as they were before the rollback group came:
// none of them may move or change.
struct UnitBefore {
  const char* name;
  uint32_t type;
  const char* parent;  // nullptr: the window
  int page;            // of 选择夹1; -1 elsewhere
  int left, top, width, height;
  uint32_t flags;       // visible 1, disabled 2, tab stop 4
  const char* caption;  // the control's text; nullptr where it has none
};
constexpr uint32_t kTab = 0x10015, kGroup = 0x10009, kEdit = 0x10005, kButton = 0x1000B, kLabel = 0x1000A,
                   kRadio = 0x1000D, kCheck = 0x1000C, kTrans = 0x30005, kTimer = 0x10020, kZip = 0x70001,
                   kBar = 0x10013;
const UnitBefore kUnitsBefore[] = {
    {"选择夹1", kTab, nullptr, -1, 5, 9, 664, 368, 1, nullptr},
    {"分组框1", kGroup, "选择夹1", 0, 11, 31, 200, 192, 1, "霁川下载"},
    {"编辑框_霁川目录", kEdit, "分组框1", -1, 8, 19, 184, 112, 5, "D:\\Mirserver"},
    {"按钮_下载霁川", kButton, "分组框1", -1, 24, 136, 56, 24, 5, "下载"},
    {"按钮_安装霁川", kButton, "分组框1", -1, 112, 136, 56, 24, 7, "安装"},
    {"标签1", kLabel, "分组框1", -1, 8, 166, 64, 14, 1, ""},
    {"单选框1", kRadio, "分组框1", -1, 76, 168, 56, 14, 4, "测试版"},
    {"单选框2", kRadio, "分组框1", -1, 136, 168, 57, 15, 5, "免费版"},
    {"分组框2", kGroup, "选择夹1", 0, 219, 32, 200, 192, 1, "青岚雀功能插件下载"},
    {"编辑框_功能目录", kEdit, "分组框2", -1, 8, 19, 184, 112, 5, "D:\\Mirserver"},
    {"按钮_下载功能", kButton, "分组框2", -1, 24, 136, 56, 24, 5, "下载"},
    {"按钮_安装功能", kButton, "分组框2", -1, 112, 136, 48, 24, 7, "安装"},
    {"标签2", kLabel, "分组框2", -1, 28, 168, 64, 14, 1, ""},
    {"分组框3", kGroup, "选择夹1", 0, 429, 32, 200, 192, 1, "青岚雀反挂插件下载"},
    {"编辑框_反挂目录", kEdit, "分组框3", -1, 8, 19, 184, 112, 5, "D:\\Mirserver"},
    {"按钮_下载反挂", kButton, "分组框3", -1, 24, 136, 56, 24, 5, "下载"},
    {"按钮_安装反挂", kButton, "分组框3", -1, 112, 136, 48, 24, 7, "安装"},
    {"标签3", kLabel, "分组框3", -1, 28, 168, 64, 14, 1, ""},
    {"分组框5", kGroup, "选择夹1", 0, 11, 228, 200, 88, 1, "其他工具下载"},
    {"按钮_下载工具", kButton, "分组框5", -1, 25, 25, 55, 26, 5, "下载"},
    {"按钮_工具安装", kButton, "分组框5", -1, 112, 26, 56, 26, 7, "安装"},
    {"标签5", kLabel, "分组框5", -1, 15, 62, 56, 16, 1, ""},
    {"按钮_检查更新", kButton, "选择夹1", 0, 552, 305, 80, 32, 5, "检查更新"},
    {"透明标签1", kTrans, "选择夹1", 0, 469, 345, 184, 14, 1, nullptr},
    {"时钟1", kTimer, "选择夹1", 0, 395, 263, 32, 24, 1, nullptr},
    {"ZIP压缩1", kZip, "选择夹1", 0, 491, 247, 32, 32, 1, nullptr},
    {"分组框4", kGroup, "选择夹1", 1, 19, 39, 232, 56, 1, "自动更新"},
    {"选择框_检查更新", kCheck, "分组框4", -1, 16, 24, 128, 16, 5, "定时检查更新 每隔"},
    {"编辑框1", kEdit, "分组框4", -1, 144, 19, 32, 23, 5, "24"},
    {"标签4", kLabel, "分组框4", -1, 200, 23, 24, 17, 1, "小时"},
    {"标签_提示内容", kLabel, nullptr, -1, 7, 385, 105, 13, 0, ""},
    {"进度条1", kBar, nullptr, -1, 118, 382, 200, 18, 0, nullptr},
    {"标签_每秒速度", kLabel, nullptr, -1, 330, 384, 128, 16, 0, ""},
};

class MainWindowUnits : public ::testing::Test {
 protected:
  void SetUp() override {
    put_program_file("Config.ini", "");
    for (const char* archive : {"霁川.zip", "功能.zip", "反挂.zip", "工具.zip"}) put_program_file(archive, "");
    set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
    open_main_window();
  }
  void TearDown() override { close_main_window(); }

  static const units::UnitEntry& entry(const char* name) {
    return *units::WindowUnits::current()->entry(window::kMainWindow, window::unit_id(name));
  }
  // Which page of 选择夹1 lists the unit; -1 when it does not.
  static int page_of(uint32_t id) {
    int page = 0;
    for (uint32_t child : entry("选择夹1").children) {
      if (child == 0) ++page;
      if (child == id) return page;
    }
    return -1;
  }
  static RECT rect_in_parent(HWND unit) {
    RECT r;
    GetWindowRect(unit, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(unit), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static std::string text_of(HWND unit) {
    char text[256] = {};
    GetWindowTextA(unit, text, sizeof text);
    return text;
  }
};

TEST_F(MainWindowUnits, keep_their_ids_places_captions_and_states) {
  uint32_t id = 0x16010002;
  for (const UnitBefore& u : kUnitsBefore) {
    const units::UnitEntry& e = entry(u.name);
    EXPECT_EQ(e.id, id++) << u.name;
    EXPECT_EQ(e.type, u.type) << u.name;
    EXPECT_EQ(e.parent, u.parent ? window::unit_id(u.parent) : 0u) << u.name;
    EXPECT_EQ(page_of(e.id), u.page) << u.name;
    EXPECT_EQ((std::vector<int>{e.left, e.top, e.width, e.height}),
              (std::vector<int>{u.left, u.top, u.width, u.height}))
        << u.name;
    EXPECT_EQ(e.flags, u.flags) << u.name;
    if (u.type == kTimer || u.type == kZip) continue;  // never shown
    const HWND handle = unit_handle(u.name);
    ASSERT_NE(handle, nullptr) << u.name;
    EXPECT_EQ(GetParent(handle), u.parent ? unit_handle(u.parent) : main_window_handle()) << u.name;
    const RECT r = rect_in_parent(handle);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{u.left, u.top, u.width, u.height}))
        << u.name;
    if (u.caption) {
      EXPECT_EQ(text_of(handle), u.caption) << u.name;
    }
    EXPECT_EQ(IsWindowEnabled(handle) == FALSE, (u.flags & 2) != 0) << u.name;
  }
  EXPECT_EQ(SendMessageA(unit_handle("单选框1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(unit_handle("单选框2"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(unit_handle("选择框_检查更新"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(MainWindowUnits, show_the_rollback_group_below_the_automatic_check_on_its_page) {
  const char* const group[] = {"分组框_回滚", "单选框_回滚霁川", "单选框_回滚功能", "单选框_回滚反挂",
                               "按钮_回滚上次安装"};
  for (const char* name : group) EXPECT_FALSE(IsWindowVisible(unit_handle(name))) << name << " on the first page";
  select_page(1);
  for (const char* name : group) EXPECT_TRUE(IsWindowVisible(unit_handle(name))) << name;
  for (const UnitBefore& u : kUnitsBefore) {
    if (u.page == 0) {
      EXPECT_FALSE(IsWindowVisible(unit_handle(u.name))) << u.name;
    }
  }
  EXPECT_TRUE(IsWindowVisible(unit_handle("分组框4")));

  EXPECT_EQ(page_of(window::unit_id("分组框_回滚")), 1);
  const RECT automatic = rect_in_parent(unit_handle("分组框4")), rollback = rect_in_parent(unit_handle("分组框_回滚"));
  EXPECT_GE(rollback.top, automatic.bottom);
  RECT tab;
  GetClientRect(unit_handle("选择夹1"), &tab);
  EXPECT_LE(rollback.bottom, tab.bottom);
  EXPECT_EQ(text_of(unit_handle("按钮_回滚上次安装")), "回滚上次安装");
  const char* const captions[] = {"霁川", "功能插件", "反挂插件"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(text_of(unit_handle(group[i + 1])), captions[i]);
    EXPECT_EQ(GetParent(unit_handle(group[i + 1])), unit_handle("分组框_回滚"));
  }
  // One package at a time: choosing one clears the others.
  EXPECT_EQ(SendMessageA(unit_handle("单选框_回滚霁川"), BM_GETCHECK, 0, 0), BST_CHECKED);
  click("单选框_回滚反挂");
  EXPECT_EQ(SendMessageA(unit_handle("单选框_回滚霁川"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageA(unit_handle("单选框_回滚反挂"), BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
}  // namespace updater::testing
