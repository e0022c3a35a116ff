// Events from real controls, driven by real messages, reach the handlers
// linked in the template with the right event source.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "runtime/runtime_app.h"
#include "runtime/system_function.h"
#include "units/tests/window_test_support.h"

namespace units::testing {
namespace {

class Events : public ::testing::Test {
 protected:
  void SetUp() override {
    close_test_window();
    load_test_window();
    clear_calls();
    g_close_asked_answer = g_close_confirmed_answer = g_page_changing_answer = -1;
  }
  void TearDown() override { g_close_asked_answer = g_close_confirmed_answer = g_page_changing_answer = -1; }

  static size_t count(const char* routine) {
    size_t n = 0;
    for (const auto& c : calls()) n += c.routine == routine;
    return n;
  }
};

TEST_F(Events, clicking_a_button_runs_its_handler_once_with_the_button_as_source) {
  SendMessageA(handle("按钮1"), BM_CLICK, 0, 0);
  pump();
  ASSERT_EQ(count("ButtonClicked"), 1u);
  EXPECT_EQ(calls().back().window_id, kTestWindow);
  EXPECT_EQ(calls().back().unit_id, unit("按钮1").id);
  // Outside a handler there is no event source.
  uint32_t source[2] = {0, 0};
  EXPECT_EQ(rt::system_function(rt::sysfn::kEventSource, reinterpret_cast<intptr_t>(source), 0), 0);
}

TEST_F(Events, a_unit_without_a_link_for_the_event_raises_nothing) {
  SendMessageA(handle("按钮2"), BM_CLICK, 0, 0);  // disabled, and without a handler
  EnableWindow(handle("按钮2"), TRUE);
  SendMessageA(handle("按钮2"), BM_CLICK, 0, 0);
  pump();
  EXPECT_TRUE(calls().empty());
}

TEST_F(Events, typing_into_an_edit_box_raises_its_change_event) {
  SendMessageA(handle("编辑框1"), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  pump();
  EXPECT_EQ(count("EditChanged"), 1u);
}

TEST_F(Events, tab_page_change_shows_the_selected_page_and_a_refused_change_keeps_it) {
  const HWND tab = handle("选择夹1");
  auto select = [&](int page) {
    NMHDR header = {tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGING)};
    if (SendMessageA(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header))) return false;
    SendMessageA(tab, TCM_SETCURSEL, page, 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageA(GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    return true;
  };
  ASSERT_TRUE(select(1));
  pump();
  EXPECT_EQ(count("PageChanging"), 1u);
  EXPECT_EQ(count("PageChanged"), 1u);
  EXPECT_TRUE(IsWindowVisible(handle("选择框1")));
  EXPECT_TRUE(IsWindowVisible(handle("编辑框2")));
  EXPECT_FALSE(IsWindowVisible(handle("分组框1")));
  EXPECT_FALSE(IsWindowVisible(handle("时钟1")));

  g_page_changing_answer = 0;  // "no"
  EXPECT_FALSE(select(0));
  pump();
  EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(IsWindowVisible(handle("选择框1")));
  EXPECT_EQ(count("PageChanged"), 1u);

  g_page_changing_answer = -1;
  ASSERT_TRUE(select(0));
  pump();
  EXPECT_TRUE(IsWindowVisible(handle("分组框1")));
  EXPECT_FALSE(IsWindowVisible(handle("单选框1")));  // stored hidden stays hidden
  EXPECT_FALSE(IsWindowVisible(handle("选择框1")));
}

TEST_F(Events, closing_refused_by_event_twelve_keeps_the_window_and_skips_event_one) {
  const HWND window = static_cast<HWND>(layer().live_control(kTestWindow, 0));
  g_close_asked_answer = 0;
  SendMessageA(window, WM_CLOSE, 0, 0);
  pump();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(count("CloseAsked"), 1u);
  EXPECT_EQ(count("CloseConfirmed"), 0u);

  g_close_asked_answer = 1;
  g_close_confirmed_answer = 0;
  SendMessageA(window, WM_CLOSE, 0, 0);
  pump();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(count("CloseConfirmed"), 1u);

  g_close_confirmed_answer = -1;  // no answer means yes
  SendMessageA(window, WM_CLOSE, 0, 0);
  pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(test_window().loaded);
}

TEST_F(Events, property_writes_from_another_thread_interleave_with_clicks_without_deadlock) {
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 1000; ++i) {
      const std::string caption = "第" + std::to_string(i) + "次";
      write("标签1", 8, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(caption.c_str())));
    }
    done = true;
  });
  int clicks = 0;
  while (!done) {
    SendMessageA(handle("按钮1"), BM_CLICK, 0, 0);
    ++clicks;
    pump();
  }
  writer.join();
  pump();
  EXPECT_EQ(read_text("标签1", 8), "第999次");
  EXPECT_EQ(count("ButtonClicked"), static_cast<size_t>(clicks));
}

}  // namespace
}  // namespace units::testing

namespace units::testing {
namespace {

TEST_F(Events, arrow_key_in_a_radio_group_checks_the_radio_box_it_moves_to) {
  write("单选框1", 5, 1);  // show the hidden one
  SetFocus(handle("单选框2"));
  pump();
  PostMessageA(handle("单选框2"), WM_KEYDOWN, VK_UP, 0);
  PostMessageA(handle("单选框2"), WM_KEYUP, VK_UP, 0);
  pump(50);
  EXPECT_EQ(GetFocus(), handle("单选框1"));
  EXPECT_EQ(SendMessageA(handle("单选框1"), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(handle("单选框2"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(Events, tab_key_moves_the_focus_to_the_next_tab_stop) {
  SetFocus(handle("按钮1"));
  pump();
  PostMessageA(handle("按钮1"), WM_KEYDOWN, VK_TAB, 0);
  PostMessageA(handle("按钮1"), WM_KEYUP, VK_TAB, 0);
  pump(50);
  EXPECT_NE(GetFocus(), handle("按钮1"));
  EXPECT_TRUE(GetWindowLongA(GetFocus(), GWL_STYLE) & WS_TABSTOP);
}

}  // namespace
}  // namespace units::testing
