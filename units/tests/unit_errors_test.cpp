// Runtime errors of property access and events end the program with the
// exact report; a property write during the end of the program does not.
#include <gtest/gtest.h>

#include "platform/testing/child_program.h"

namespace {

struct ProgramRun {
  int32_t exit_code;
  std::string log;
  std::string box;
};

ProgramRun run_scenario(const std::string& scenario) {
  const test_support::ChildRun run = test_support::run_child_program("unit_errors_program", scenario);
  std::string log;
  for (const std::string& line : run.log) log += line + "\n";
  return {run.exit_code, log, run.box};
}

const std::string kDetail =
    "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): ";

std::string detail(uint32_t a, uint32_t b) {
  return kDetail + std::to_string(static_cast<int32_t>(a)) + ", " + std::to_string(static_cast<int32_t>(b));
}

// The label's id in the test window: the tenth entry (units count from 0x16010002).
constexpr uint32_t kLabelId = 0x16010007;

TEST(UnitErrors, reading_a_caption_before_the_window_is_loaded_is_a_runtime_error) {
  const ProgramRun run = run_scenario("read-before-load");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.log, "error box\n");
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n" + detail(0x52010001, kLabelId) +
                         "\r\n未找到所指定的窗口\r\n");
}

TEST(UnitErrors, live_control_of_an_unloaded_window_is_a_runtime_error) {
  const ProgramRun run = run_scenario("live-control-missing");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：指定窗口或窗口组件不存在或尚未载入\r\n" +
                         detail(0x52010001, kLabelId) + "\r\n未找到所指定的窗口\r\n");
}

TEST(UnitErrors, event_of_a_window_that_is_not_loaded_is_a_runtime_error) {
  const ProgramRun run = run_scenario("event-of-unknown-window");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口\r\n" + detail(0x52000999, 0) +
                         "\r\n未找到所指定的窗口\r\n");
}

TEST(UnitErrors, event_of_an_unknown_unit_names_the_window_by_its_tag) {
  const ProgramRun run = run_scenario("event-of-unknown-unit");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：未找到引发事件的窗口组件\r\n" + detail(0x52010001, 0x16019999) +
                         "\r\n所访问窗口的\"标记\"属性值: \"窗口标记\"\r\n未找到所指定的窗口组件\r\n");
}

TEST(UnitErrors, a_property_write_while_the_program_ends_is_dropped_without_an_error) {
  const ProgramRun run = run_scenario("write-while-ending");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.log, "window created\nlate write returned\nexit routine\n");
  EXPECT_EQ(run.box, "");
}

}  // namespace
