// Loading the test window: every unit becomes a live control of its class, at
// its stored place, with its stored caption and state, created in reverse order.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "units/tests/window_test_support.h"

namespace units::testing {
namespace {

class WindowLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    close_test_window();
    clear_calls();
    load_test_window();
  }
};

RECT rect_in_parent(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(WindowLoading, every_unit_is_a_live_control_of_its_class_at_its_stored_place) {
  struct Case {
    const char* unit;
    const char* window_class;
    const char* parent;  // null: the window
    const char* caption;
  } cases[] = {
      {"选择夹1", "_QW_Tab", nullptr, ""},       {"分组框1", "Button", "选择夹1", "分组一"},
      {"编辑框1", "Edit", "分组框1", "D:\\Mirserver"}, {"按钮1", "Button", "分组框1", "下载"},
      {"按钮2", "Button", "分组框1", "安装"},    {"标签1", "_QW_Label", "分组框1", "标签文字"},
      {"单选框2", "Button", "选择夹1", "免费版"}, {"选择框1", "Button", "选择夹1", "定时检查更新"},
      {"时钟1", "_QW_Timer", "选择夹1", ""},     {"进度条1", "msctls_progress32", nullptr, ""},
  };
  const HWND window = static_cast<HWND>(layer().live_control(kTestWindow, 0));
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(class_of(window), "_QW_Window");
  EXPECT_EQ(text_of(window), "测试窗口");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    const HWND h = handle(c.unit);
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(_stricmp(class_of(h).c_str(), c.window_class), 0) << class_of(h);
    EXPECT_EQ(GetParent(h), c.parent ? handle(c.parent) : window);
    EXPECT_EQ(text_of(h), c.caption);
    const UnitEntry& stored = unit(c.unit);
    const RECT r = rect_in_parent(h);
    EXPECT_EQ(r.left, stored.left);
    EXPECT_EQ(r.top, stored.top);
    EXPECT_EQ(r.right - r.left, stored.width);
    EXPECT_EQ(r.bottom - r.top, stored.height);
  }
}

TEST_F(WindowLoading, stored_states_hold_and_hidden_page_units_and_the_timer_start_hidden) {
  struct Case {
    const char* unit;
    bool visible, enabled, tab_stop;
  } cases[] = {
      {"按钮1", true, true, true},    {"按钮2", true, false, true},   {"编辑框1", true, true, true},
      {"单选框1", false, true, false}, {"单选框2", true, true, true},  {"选择框1", false, true, true},
      {"编辑框2", false, true, false}, {"时钟1", false, true, false},  {"进度条1", false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    const HWND h = handle(c.unit);
    EXPECT_EQ(IsWindowVisible(h) != 0, c.visible);
    EXPECT_EQ(IsWindowEnabled(h) != 0, c.enabled);
    EXPECT_EQ((GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) != 0, c.tab_stop);
  }
  EXPECT_EQ(SendMessageA(handle("单选框2"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(handle("选择夹1"), TCM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(WindowLoading, units_get_control_ids_in_reverse_entry_order_from_100) {
  WindowTemplate& window = test_window();
  int expected = 100;  // menu items are not controls and take no id
  for (size_t i = window.live.size() - 1; i >= 1; --i) {
    if (window.live[i].is_menu_item()) continue;
    SCOPED_TRACE(window.live[i].name);
    EXPECT_EQ(GetDlgCtrlID(handle(window.live[i].name.c_str())), expected);
    expected += 10;
  }
}

TEST_F(WindowLoading, window_events_zero_three_four_follow_creation_in_order) {
  ASSERT_GE(calls().size(), 3u);
  EXPECT_EQ(calls()[0].routine, "OnCreated");
  EXPECT_EQ(calls()[1].routine, "OnMoved");
  EXPECT_EQ(calls()[2].routine, "OnSized");
  EXPECT_EQ(calls()[0].window_id, kTestWindow);
  EXPECT_EQ(calls()[0].unit_id, test_window().live[0].id);
}

TEST_F(WindowLoading, loading_a_live_window_again_only_activates_it) {
  const HWND before = static_cast<HWND>(layer().live_control(kTestWindow, 0));
  const HWND button = handle("按钮1");
  clear_calls();
  ASSERT_TRUE(layer().load_window(kTestWindow, false, nullptr));
  EXPECT_EQ(static_cast<HWND>(layer().live_control(kTestWindow, 0)), before);
  EXPECT_EQ(handle("按钮1"), button);
  EXPECT_TRUE(calls().empty());
}

TEST_F(WindowLoading, cursor_data_three_gives_the_i_beam) {
  EXPECT_EQ(unit("标签2").cursor, LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_IBEAM)));
  EXPECT_EQ(unit("按钮1").cursor, nullptr);  // four zero bytes: the default
}

}  // namespace
}  // namespace units::testing

#include "units/tests/window_snapshot.h"

namespace units::testing {
namespace {

TEST_F(WindowLoading, picture_of_the_loaded_window_shows_its_label_in_red_and_is_kept_for_review) {
  const HWND window = static_cast<HWND>(layer().live_control(kTestWindow, 0));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  pump(100);
  EXPECT_TRUE(shows_colour(handle("标签1"), RGB(255, 0, 0)));   // text colour 0x0000FF
  EXPECT_FALSE(shows_colour(handle("标签2"), RGB(255, 0, 0)));  // black text
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string picture = path;
  picture = picture.substr(0, picture.rfind('\\') + 1) + "units_test_window.bmp";
  EXPECT_TRUE(save_window_snapshot(window, picture));
}

}  // namespace
}  // namespace units::testing
