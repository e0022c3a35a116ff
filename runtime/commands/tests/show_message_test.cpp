// ShowMessage on real message boxes, caught and answered by a CBT hook.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/commands/tests/command_test_support.h"
#include "platform/testing/message_box_capture.h"
#include "runtime/runtime_app.h"

namespace kernel_test {
namespace {

using test_support::MessageBoxCapture;
using test_support::ProbeWindow;
using test_support::SeenBox;

rt::ArgValue date_time(double days) {
  rt::ArgValue value = rt::ArgValue::of_double(days);
  value.tag = rt::tag::kDateTime;
  return value;
}

rt::ArgValue handle_argument(HWND window) { return integer(static_cast<int32_t>(reinterpret_cast<intptr_t>(window))); }

TEST(ShowMessage, buttons_zero_is_a_task_modal_ok_box_with_the_default_caption) {
  ProbeWindow probe;
  MessageBoxCapture capture(IDOK, probe.handle());
  const std::string message = "安装完成";
  EXPECT_EQ(call_int(kShowMessage, {text(message), integer(0), omitted(), omitted()}), 0);
  const SeenBox& box = capture.seen();
  ASSERT_EQ(box.count, 1);
  EXPECT_EQ(box.caption, "信息：");
  EXPECT_EQ(box.text, "安装完成");
  EXPECT_EQ(box.buttons, std::set<int>{IDOK});
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_FALSE(box.probe_enabled) << "a task-modal box disables the thread's windows";
  EXPECT_FALSE(box.topmost);
  EXPECT_TRUE(IsWindowEnabled(probe.handle())) << "and enables them again";
}

TEST(ShowMessage, a_system_modal_box_is_not_made_task_modal) {
  ProbeWindow probe;
  MessageBoxCapture capture(IDOK, probe.handle());
  EXPECT_EQ(call_int(kShowMessage, {integer(1), integer(MB_SYSTEMMODAL), omitted(), omitted()}), 0);
  ASSERT_EQ(capture.seen().count, 1);
  EXPECT_TRUE(capture.seen().probe_enabled);
  EXPECT_TRUE(capture.seen().topmost);
}

TEST(ShowMessage, task_modal_bit_already_given_adds_no_help_button) {
  MessageBoxCapture capture(IDOK);
  EXPECT_EQ(call_int(kShowMessage, {integer(1), integer(MB_TASKMODAL), omitted(), omitted()}), 0);
  EXPECT_EQ(capture.seen().buttons, std::set<int>{IDOK});
}

TEST(ShowMessage, pressed_buttons_come_back_renumbered) {
  const struct {
    int32_t buttons;
    int press;
    std::set<int> shown;
    int32_t expected;
  } cases[] = {
      {MB_OK, IDOK, {IDOK}, 0},
      {MB_OKCANCEL, IDCANCEL, {IDOK, IDCANCEL}, 1},
      {MB_ABORTRETRYIGNORE, IDABORT, {IDABORT, IDRETRY, IDIGNORE}, 2},
      {MB_ABORTRETRYIGNORE, IDRETRY, {IDABORT, IDRETRY, IDIGNORE}, 3},
      {MB_ABORTRETRYIGNORE, IDIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 4},
      {MB_YESNOCANCEL, IDYES, {IDYES, IDNO, IDCANCEL}, 5},
      {MB_YESNO, IDNO, {IDYES, IDNO}, 6},
      {MB_RETRYCANCEL, IDRETRY, {IDRETRY, IDCANCEL}, 3},
  };
  for (const auto& c : cases) {
    MessageBoxCapture capture(c.press);
    const std::string caption = "选择";
    EXPECT_EQ(call_int(kShowMessage, {text("?"), integer(c.buttons), text(caption), omitted()}), c.expected)
        << "buttons " << c.buttons << ", pressed " << c.press;
    EXPECT_EQ(capture.seen().buttons, c.shown) << "buttons " << c.buttons;
    EXPECT_EQ(capture.seen().caption, "选择");
  }
}

TEST(ShowMessage, shows_numbers_logical_values_and_dates_as_text_and_nothing_else) {
  const struct {
    rt::ArgValue value;
    std::string expected;
  } cases[] = {
      {integer(-42), "-42"},    {number(2.5), "2.5"}, {flag(true), "真"}, {date_time(45000.5), "2023年3月15日12时"},
      {bytes("not shown"), ""},
  };
  for (const auto& c : cases) {
    MessageBoxCapture capture(IDOK);
    call(kShowMessage, {c.value, integer(MB_ICONERROR), omitted(), omitted()});
    EXPECT_EQ(capture.seen().text, c.expected) << "tag " << std::hex << c.value.tag;
    EXPECT_EQ(capture.seen().icon, LoadIcon(nullptr, IDI_ERROR));
  }
}

TEST(ShowMessage, a_handle_as_fourth_argument_owns_the_box) {
  ProbeWindow parent;
  {
    MessageBoxCapture capture(IDOK);
    call(kShowMessage, {text("x"), integer(0), omitted(), handle_argument(parent.handle())});
    EXPECT_EQ(capture.seen().owner, parent.handle());
  }
  {
    // Only a fourth argument names a parent, and only an int or a window unit.
    MessageBoxCapture capture(IDOK);
    call(kShowMessage, {text("x"), integer(0), omitted()});
    EXPECT_EQ(capture.seen().owner, nullptr);
    call(kShowMessage, {text("x"), integer(0), omitted(), text("not a window")});
    EXPECT_EQ(capture.seen().count, 2);
    EXPECT_EQ(capture.seen().owner, nullptr);
  }
}

// Window units are looked up through the runtime (system function 2006, which
// answers the control's window handle); this layer knows one unit.
class OneControlLayer final : public rt::WindowLayer {
 public:
  static constexpr uint32_t kWindowId = 0x52010001;
  static constexpr uint32_t kUnitId = 0x06000001;
  explicit OneControlLayer(HWND parent) : m_parent(parent) {}
  bool read_templates(const uint8_t*, uint32_t, uintptr_t) override { return true; }
  void release_templates() override {}
  void* registry() override { return nullptr; }
  int32_t template_count() override { return 0; }
  bool load_window(uint32_t, bool, void*) override { return false; }
  bool any_window_alive() override { return false; }
  void unit_destroyed(uint32_t, uint32_t) override {}
  void* live_control(uint32_t window_id, uint32_t unit_id) override {
    return window_id == kWindowId && unit_id == kUnitId ? m_parent : nullptr;
  }
  int32_t raise_event(void*) override { return 0; }
  int32_t raise_event_typed(void*) override { return 0; }
  uint64_t read_property(uint32_t, uint32_t, int32_t, int32_t) override { return 0; }
  void write_property(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint32_t) override {}
  rt::ErrorPlace locate(uint32_t, uint32_t) override { return {}; }

 private:
  HWND m_parent;
};

int32_t no_entry() { return 0; }

TEST(ShowMessage, a_window_unit_as_fourth_argument_owns_the_box) {
  ProbeWindow parent;
  OneControlLayer layer(parent.handle());
  static const rt::ProgramHeader header = {3, 0, 0, 0, nullptr, 0, nullptr, 0, 0, nullptr, 0, nullptr, nullptr};
  rt::RuntimeApp app(header, no_entry, layer);
  MessageBoxCapture capture(IDOK);
  call(kShowMessage,
       {text("x"), integer(0), omitted(),
        rt::ArgValue::of_unit(OneControlLayer::kWindowId, OneControlLayer::kUnitId, rt::tag::kWindowUnit)});
  EXPECT_EQ(capture.seen().owner, parent.handle());
  call(kShowMessage, {text("x"), integer(0), omitted(),
                      rt::ArgValue::of_unit(OneControlLayer::kWindowId, 0x06000002, rt::tag::kWindowUnit)});
  EXPECT_EQ(capture.seen().count, 2);
  EXPECT_EQ(capture.seen().owner, nullptr);  // no such unit: no parent
}

}  // namespace
}  // namespace kernel_test
