// Starts the lifecycle program in a scenario and checks what the runtime did,
// in order, from the program's log, its message box and its exit code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/child_program.h"

namespace {

using ProgramRun = test_support::ChildRun;

ProgramRun run_scenario(const std::string& scenario) { return test_support::run_child_program("lifecycle_program", scenario); }

const std::vector<std::string> kEndNotices = {"notify A 6", "notify C 6", "notify D 6"};

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::string kDetail =
    "\r\n运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看): ";

#ifdef _WIN32
const std::vector<std::string> kBoxSeen = {"box caption=错误 icon=error unowned"};
#else
const std::vector<std::string> kBoxSeen = {};
#endif

TEST(Lifecycle, starts_notifies_in_table_order_runs_exit_routine_once_and_ends_with_zero) {
  const ProgramRun run = run_scenario("normal");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.log, concat({"notify A 1", "notify C 1", "notify D 1", "entry", "run returned",
                             "exit routine on window thread"},
                            kEndNotices));
}

TEST(Lifecycle, runtime_error_shows_the_composed_text_skips_exit_routine_and_ends_with_minus_one) {
  const ProgramRun run = run_scenario("error-by-code");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.log, concat(concat({"notify A 1", "notify C 1", "notify D 1", "entry"}, kBoxSeen), kEndNotices));
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n" + kDetail +
                         "11, 22\r\n");
}

TEST(Lifecycle, runtime_error_goes_to_the_report_sink_instead_of_a_box) {
  const ProgramRun run = run_scenario("error-to-sink");
  EXPECT_EQ(run.exit_code, -1);
  // No box: the sink alone heard of it, and the end went on as after a box.
  EXPECT_EQ(run.log, concat({"notify A 1", "notify C 1", "notify D 1", "entry", "sink"}, kEndNotices));
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n" + kDetail +
                         "11, 22\r\n");
}

TEST(Lifecycle, runtime_error_names_a_window_that_is_not_loaded) {
  const ProgramRun run = run_scenario("error-in-window");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：窗口错误\r\n" + kDetail + std::to_string(0x52010001) + ", " +
                         std::to_string(0x16010002) + "\r\n未找到所指定的窗口\r\n");
}

TEST(Lifecycle, unknown_start_window_is_a_runtime_error) {
  const ProgramRun run = run_scenario("missing-start-window");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n" + kDetail + std::to_string(0x52010001) +
                         ", 0\r\n未找到所指定的窗口\r\n");
}

TEST(Lifecycle, runtime_error_on_a_worker_thread_still_notifies_every_library) {
  const ProgramRun run = run_scenario("error-on-worker");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.log, concat(concat({"notify A 1", "notify C 1", "notify D 1", "entry"}, kBoxSeen), kEndNotices));
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：线程错误\r\n" + kDetail + "0, 0\r\n");
}

TEST(Lifecycle, end_requested_by_a_worker_runs_with_its_exit_code) {
  const ProgramRun run = run_scenario("end-on-worker");
  EXPECT_EQ(run.exit_code, 7);
#ifdef _WIN32
  // Handed to the window thread, which runs the exit routine.
  const std::string routine = "exit routine on window thread";
#else
  // Natively there is no window thread to hand it to.
  const std::string routine = "exit routine on other thread";
#endif
  EXPECT_EQ(run.log, concat({"notify A 1", "notify C 1", "notify D 1", "entry", routine}, kEndNotices));
}

#ifdef _WIN32
TEST(DllCommands, hash_and_digits_resolve_by_ordinal_from_the_program_directory) {
  const ProgramRun run = run_scenario("dll-ordinal");
  EXPECT_EQ(run.exit_code, 0);
  ASSERT_GE(run.log.size(), 5u);
  EXPECT_EQ(run.log[4], "ordinal result 41");
}

TEST(DllCommands, empty_file_name_searches_the_system_dlls) {
  const ProgramRun run = run_scenario("dll-system-list");
  EXPECT_EQ(run.exit_code, 0);
  ASSERT_GE(run.log.size(), 5u);
  EXPECT_EQ(run.log[4], "system width 1 from user32");
}

TEST(DllCommands, missing_export_names_file_and_function_and_ends_with_minus_one) {
  const ProgramRun run = run_scenario("dll-missing-export");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“kernel32.dll”中的输出命令“NoSuchExport”\r\n" +
                         kDetail + "0, 0\r\n");
}

TEST(DllCommands, missing_export_of_the_system_list_names_only_the_function) {
  const ProgramRun run = run_scenario("dll-missing-anywhere");
  EXPECT_EQ(run.exit_code, -1);
  EXPECT_EQ(run.box, "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchExportAnywhere”\r\n" +
                         kDetail + "0, 0\r\n");
}
#endif

}  // namespace
