// Kernel commands that need a whole program: IntDivide's runtime error ends
// it, and GetProgramDirectory answers the directory of its executable.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/testing/child_program.h"

namespace kernel_test {
namespace {

using ProgramRun = test_support::ChildRun;

std::string build_directory() {
  const std::string module = platform::module_path();
  return module.substr(0, module.rfind(platform::kPathSeparator));
}

ProgramRun run_scenario(const std::string& scenario) {
  return test_support::run_child_program("kernel_commands_program", scenario);
}

TEST(IntDivide, a_zero_divisor_is_a_runtime_error_that_ends_the_program) {
  const ProgramRun run = run_scenario("int-divide-by-zero");
  EXPECT_EQ(run.exit_code, -1);
#ifdef _WIN32
  const std::vector<std::string> expected_log = {"7 / 2 = 3", "box caption=错误"};
#else
  const std::vector<std::string> expected_log = {"7 / 2 = 3"};
#endif
  EXPECT_EQ(run.log, expected_log);
  EXPECT_EQ(run.box.rfind("运行时出错!\r\n\r\n错误信息：不能整除于零\r\n", 0), 0u) << run.box;
}

TEST(GetProgramDirectory, answers_the_executable_directory_without_a_trailing_backslash) {
  const ProgramRun run = run_scenario("program-directory");
  EXPECT_EQ(run.exit_code, 0);
  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_EQ(run.log[0], platform::program_path(build_directory()));
  EXPECT_NE(run.log[0].back(), '\\');
}

}  // namespace
}  // namespace kernel_test
