// Keeps a picture of the main window after its first check, for a person to
// compare with the window's design (main_window_after_first_check.bmp in the
// test's directory); the test itself checks what a picture can show for sure.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "units/tests/window_snapshot.h"
#include "updater/main_window_units.h"
#include "updater/tests/updater_test_support.h"
#include "updater/updater_state.h"

namespace updater::testing {
namespace {

TEST(MainWindowPicture, after_the_first_check_shows_its_verdicts_in_their_colours) {
  put_program_file("霁川.zip", "engine");
  put_program_file("功能.zip", "old feature");
  put_program_file("反挂.zip", "");
  put_program_file("工具.zip", "tools");
  put_program_file("Config.ini", "");
  publish_configuration(configuration_for("engine", "feature", "anti-cheat", "tools"));
  open_main_window();
  const HWND window = static_cast<HWND>(GetAncestor(unit_handle("标签1"), GA_ROOT));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump();
  Sleep(200);
  pump();

  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 681);
  EXPECT_EQ(r.bottom - r.top, 433);
  // Verdict texts drawn in pure green and pure red.
  EXPECT_TRUE(units::testing::shows_colour(unit_handle("标签1"), RGB(0, 255, 0)));
  EXPECT_TRUE(units::testing::shows_colour(unit_handle("标签2"), RGB(255, 0, 0)));
  EXPECT_TRUE(units::testing::shows_colour(unit_handle("标签3"), RGB(255, 0, 0)));
  EXPECT_TRUE(units::testing::shows_colour(unit_handle("标签5"), RGB(0, 255, 0)));
  EXPECT_TRUE(units::testing::save_window_snapshot(window, program_directory() + "main_window_after_first_check.bmp"));
  close_main_window();
}

TEST(MainWindowPicture, the_settings_page_shows_the_rollback_group_below_the_automatic_check) {
  put_program_file("Config.ini", "");
  set_config_url("http://127.0.0.1:1/xiazaiqi/xiazai2.txt");
  open_main_window();
  const HWND window = main_window_handle();
  const HWND tab = unit_handle("选择夹1");
  NMHDR header = {tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGING)};
  SendMessageA(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  SendMessageA(tab, TCM_SETCURSEL, 1, 0);
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageA(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump();
  Sleep(200);
  pump();
  // The radio box of the engine is checked: its dot is drawn in the text colour.
  EXPECT_TRUE(units::testing::shows_colour(unit_handle("单选框_回滚霁川"), GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_TRUE(units::testing::save_window_snapshot(window, program_directory() + "main_window_settings_page.bmp"));
  close_main_window();
}

}  // namespace
}  // namespace updater::testing
