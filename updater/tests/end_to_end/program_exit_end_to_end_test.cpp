// The updater as the operator runs it, a program of its own: closing its
// window while a download runs ends the program at once, stops the download
// and leaves the archive the operator had, with no partial file beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include "updater/package_download.h"
#include "updater/tests/child_program.h"
#include "updater/tests/end_to_end/end_to_end_support.h"
#include "updater/tests/updater_test_support.h"

namespace updater::testing {
namespace {

TEST(ProgramExit, closing_the_window_during_a_download_stops_it_and_keeps_the_old_archive) {
  ASSERT_TRUE(server().running()) << server().problem;
  // A program directory of its own, with last year's engine.
  const std::string directory = fresh_program_directory("独立运行");
  ASSERT_TRUE(exists(directory + "updater.exe"));
  const std::string old_engine = "an engine release from last year";
  write_file(directory + "霁川.zip", old_engine);

  // The new engine at a trickle (8 KiB/s a connection): the download runs
  // for many seconds.
  ASSERT_TRUE(server().write_document("download/jc-exit.zip", demo_package("霁川.zip")));
  std::string text = configuration_for(demo_package("霁川.zip"), demo_package("功能.zip"), demo_package("反挂.zip"),
                                       demo_package("工具.zip"), "/slow/");
  const std::string served = server().url("/slow/jc.zip");
  text.replace(text.find(served), served.size(), server().url("/throttled/jc-exit.zip?slow=all&rate=8192&probe=8192"));
  publish_configuration(text);

  const ChildProgram updater(directory, {"--config-url", server().url("/xiazaiqi/xiazai2.txt")});
  ASSERT_TRUE(updater.started());
  const HWND window = updater.wait_for_window(L"下载器 1.2", 30000);
  ASSERT_NE(window, nullptr) << "the program's window did not show";
  ASSERT_TRUE(wait_until([&] { return shows_text(window, L"发现新版"); }, 15000));
  const HWND download = button_in_group(window, L"霁川下载", L"下载");
  ASSERT_NE(download, nullptr);
  PostMessageW(download, BM_CLICK, 0, 0);

  const std::string partial = directory + "霁川.zip" + kPartialSuffix;
  ASSERT_TRUE(wait_until([&] { return shows_control(window, L"msctls_progress32") && exists(partial); }, 15000))
      << "the download did not start";
  PostMessageW(window, WM_CLOSE, 0, 0);

  // The engine gives its workers a second to stop and the end of the
  // program two for the task's last event: well within ten.
  const std::optional<DWORD> exit_code = updater.wait_for_exit(10000);
  ASSERT_TRUE(exit_code.has_value()) << "the program did not end after its window was closed";
  EXPECT_EQ(*exit_code, 0u);
  EXPECT_EQ(read_file(directory + "霁川.zip"), old_engine);
  EXPECT_FALSE(exists(partial));
}

}  // namespace
}  // namespace updater::testing
