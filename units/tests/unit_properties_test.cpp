// Unit properties through the runtime's service entries, as the program
// reads and writes them, checked against the live controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "runtime/blocks.h"
#include "runtime/memory.h"
#include "units/font_record.h"
#include "units/tests/window_test_support.h"

namespace units::testing {
namespace {

constexpr int32_t kLeft = 0, kWidth = 2, kVisible = 5, kDisabled = 6;

class UnitProperties : public ::testing::Test {
 protected:
  void SetUp() override {
    close_test_window();
    load_test_window();
    clear_calls();
  }
};

uint64_t text_value(const char* text) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text)); }

TEST_F(UnitProperties, captions_and_contents_round_trip_in_gbk) {
  struct Case {
    const char* unit;
    int32_t number;
    const char* text;
  } cases[] = {
      {"按钮1", 10, "下载中"},  // Button caption
      {"标签1", 8, "新的标签"},  // Label caption
      {"选择框1", 11, "每隔"},   // CheckBox caption
      {"分组框1", 8, "分组二"},  // GroupBox caption
      {"编辑框1", 8, "E:\\服务器\r\nF:\\二"},  // EditBox content, two lines
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.unit);
    write(c.unit, c.number, text_value(c.text));
    EXPECT_EQ(read_text(c.unit, c.number), c.text);
    EXPECT_EQ(text_of(handle(c.unit)), c.text);
  }
}

TEST_F(UnitProperties, writing_an_edit_box_content_raises_its_change_event_once) {
  write("编辑框1", 8, text_value("C:\\Mir"));
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].routine, "EditChanged");
  EXPECT_EQ(calls()[0].unit_id, unit("编辑框1").id);
}

TEST_F(UnitProperties, checked_stores_one_for_any_non_zero_value_and_shows_it) {
  write("选择框1", 18, 7);
  EXPECT_EQ(read("选择框1", 18), 1u);
  EXPECT_EQ(SendMessageA(handle("选择框1"), BM_GETCHECK, 0, 0), BST_CHECKED);
  write("选择框1", 18, 0);
  EXPECT_EQ(SendMessageA(handle("选择框1"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(read("单选框2", 18), 1u);
}

TEST_F(UnitProperties, positions_and_sizes_clamp_and_move_the_control) {
  write("按钮1", kLeft, static_cast<uint32_t>(40000));
  EXPECT_EQ(static_cast<int32_t>(read("按钮1", kLeft)), 32627);
  write("按钮1", kLeft, 12);
  EXPECT_EQ(static_cast<int32_t>(read("按钮1", kLeft)), 12);
  write("按钮1", kWidth, static_cast<uint32_t>(-5));
  EXPECT_EQ(unit("按钮1").width, 0);
  EXPECT_EQ(static_cast<int32_t>(read("按钮1", kWidth)), 0);
  write("按钮1", kWidth, 70);
  RECT r;
  GetWindowRect(handle("按钮1"), &r);
  EXPECT_EQ(r.right - r.left, 70);
}

TEST_F(UnitProperties, visibility_keeps_units_of_a_hidden_tab_page_hidden_and_never_shows_the_timer) {
  write("编辑框2", kVisible, 1);  // on the second page, not selected
  EXPECT_FALSE(IsWindowVisible(handle("编辑框2")));
  write("时钟1", kVisible, 1);
  EXPECT_FALSE(IsWindowVisible(handle("时钟1")));
  write("进度条1", kVisible, 1);
  EXPECT_TRUE(IsWindowVisible(handle("进度条1")));
  write("按钮2", kDisabled, 0);
  EXPECT_TRUE(IsWindowEnabled(handle("按钮2")));
}

TEST_F(UnitProperties, colours_round_trip) {
  write("标签1", 16, 0x00FF00);  // Label text colour
  EXPECT_EQ(read("标签1", 16), 0x00FF00u);
  write("标签1", 17, 0xFF000000u);  // background: the default colour
  EXPECT_EQ(read("标签1", 17), 0xFF000000u);
}

TEST_F(UnitProperties, fonts_read_and_write_by_field_and_whole) {
  constexpr int32_t kButtonFont = 13;
  write("按钮1", kButtonFont, 1, static_cast<int32_t>(FontField::Bold));
  EXPECT_EQ(read("按钮1", kButtonFont, static_cast<int32_t>(FontField::Bold)), 1u);
  write("按钮1", kButtonFont, 12, static_cast<int32_t>(FontField::PointSize));
  EXPECT_EQ(read("按钮1", kButtonFont, static_cast<int32_t>(FontField::PointSize)), 12u);

  struct FaceCase {
    std::string written, expected;
  } faces[] = {{"Tahoma", "Tahoma"}, {"", "宋体"}, {std::string(32, 'x'), "宋体"}, {std::string(31, 'y'), std::string(31, 'y')}};
  for (const FaceCase& f : faces) {
    write("按钮1", kButtonFont, text_value(f.written.c_str()), static_cast<int32_t>(FontField::FaceName));
    auto* face = reinterpret_cast<char*>(static_cast<uintptr_t>(
        read("按钮1", kButtonFont, static_cast<int32_t>(FontField::FaceName))));
    EXPECT_STREQ(face, f.expected.c_str()) << "written: " << f.written;
    rt::release(face);
  }

  FontRecord whole = {900, 0, 1, 0, 1, 20, "Arial"};
  write("按钮1", kButtonFont, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&whole)));
  auto* back = reinterpret_cast<FontRecord*>(static_cast<uintptr_t>(read("按钮1", kButtonFont)));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->angle, 900);
  EXPECT_EQ(back->bold, 0);
  EXPECT_EQ(back->italic, 1);
  EXPECT_EQ(back->underline, 1);
  EXPECT_EQ(back->point_size, 20);
  EXPECT_STREQ(back->face_name, "Arial");
  rt::release(const_cast<char*>(back->face_name));
  rt::release(back);
  // The control shows the font it was given.
  LOGFONTA shown = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(handle("按钮1"), WM_GETFONT, 0, 0)), sizeof shown, &shown);
  EXPECT_STREQ(shown.lfFaceName, "Arial");
}

TEST_F(UnitProperties, progress_bar_clamps_position_and_orders_its_range) {
  const HWND bar = handle("进度条1");
  write("进度条1", 13, 150);  // position, range 0-100
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100);
  write("进度条1", 12, 20);  // maximum
  write("进度条1", 11, 80);  // minimum above it
  PBRANGE range = {};
  SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 20);
  EXPECT_EQ(range.iHigh, 80);
  write("进度条1", 13, 40000);
  EXPECT_EQ(read("进度条1", 13), 32767u);
}

TEST_F(UnitProperties, vertical_progress_bar_is_recreated_with_the_same_place_visibility_and_id) {
  write("进度条1", kVisible, 1);
  const HWND before = handle("进度条1");
  RECT old_rect;
  GetWindowRect(before, &old_rect);
  const int old_id = GetDlgCtrlID(before);
  write("进度条1", 9, 1);  // vertical
  const HWND after = handle("进度条1");
  ASSERT_TRUE(IsWindow(after));
  EXPECT_NE(after, before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_TRUE(GetWindowLongA(after, GWL_STYLE) & PBS_VERTICAL);
  RECT new_rect;
  GetWindowRect(after, &new_rect);
  EXPECT_TRUE(EqualRect(&old_rect, &new_rect));
  EXPECT_EQ(GetDlgCtrlID(after), old_id);
  EXPECT_TRUE(IsWindowVisible(after));
  // The same value again changes nothing.
  write("进度条1", 9, 1);
  EXPECT_EQ(handle("进度条1"), after);
}

TEST_F(UnitProperties, timer_with_interval_zero_never_ticks_and_fifty_ms_does) {
  pump(150);
  EXPECT_TRUE(calls().empty());
  write("时钟1", 8, 50);
  pump(400);
  size_t ticks = 0;
  for (const auto& c : calls()) ticks += c.routine == "TimerTicked";
  EXPECT_GE(ticks, 2u);
  write("时钟1", 8, 0);
  pump(20);
  clear_calls();
  pump(200);
  EXPECT_TRUE(calls().empty());
}

TEST_F(UnitProperties, reading_a_left_position_after_the_control_was_destroyed_uses_the_stored_value) {
  const HWND label = handle("标签1");
  DestroyWindow(label);
  EXPECT_EQ(static_cast<int32_t>(read("标签1", kLeft)), unit("标签1").left);
}

}  // namespace
}  // namespace units::testing
