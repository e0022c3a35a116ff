// The runtime's program directory and file search on a system whose ANSI
// code page is not 936: ctest runs this program under Wine with another
// locale, and the names must still come out as the GBK texts they are.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/testing/child_program.h"
#include "runtime/constant_area.h"
#include "runtime/memory.h"
#include "runtime/program_header.h"
#include "runtime/runtime_app.h"
#include "runtime/service_table.h"
#include "runtime/window_layer.h"

namespace {

alignas(8) const uint8_t kConstants[] = {RT_CONSTANT_AREA_PREFIX};
const rt::ProgramHeader kHeader = {3, 0,       1, 0,       kConstants, sizeof kConstants, nullptr, 0,
                                   0, nullptr, 0, nullptr, nullptr};

int32_t no_entry() { return 0; }

std::wstring wide(const std::string& gbk) { return platform::wide_path(gbk); }

// The test's own directory, GBK, ending in "\".
std::string own_directory() {
  const std::string module = platform::module_path();
  return module.substr(0, module.rfind('\\') + 1);
}

void create_file(const std::string& path) {
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  CloseHandle(file);
}

std::set<std::string> search(const std::string& pattern, uint32_t mask, bool files_only) {
  std::set<std::string> names;
  void* handle = nullptr;
  for (char* name = rt::find_file_step(pattern.c_str(), mask, files_only, &handle); name;
       name = rt::find_file_step("", mask, files_only, &handle)) {
    names.insert(name);
    rt::release(name);
  }
  return names;
}

class OtherCodePage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static rt::RuntimeApp app(kHeader, no_entry, rt::empty_window_layer());
    app.initialise();
  }
  void SetUp() override {
    // Under code page 936 the narrow functions would pass for the wide ones.
    ASSERT_NE(GetACP(), 936u) << "run this test under a locale whose ANSI code page is not 936";
  }
};

TEST_F(OtherCodePage, file_search_gives_gbk_names) {
  const std::string directory = own_directory() + "代码页\\";
  CreateDirectoryW(wide(directory).c_str(), nullptr);
  CreateDirectoryW(wide(directory + "功能插件").c_str(), nullptr);
  create_file(directory + "霁川.zip");
  create_file(directory + "反挂插件说明.txt");

  EXPECT_EQ(search(directory + "*.*", 0, true), (std::set<std::string>{"霁川.zip", "反挂插件说明.txt"}));
  EXPECT_EQ(search(directory + "*.*", 0x10, false), (std::set<std::string>{".", "..", "功能插件"}));
  EXPECT_EQ(search(directory + "霁*", 0, true), (std::set<std::string>{"霁川.zip"}));
}

TEST_F(OtherCodePage, a_program_in_a_chinese_folder_knows_its_directory) {
  const std::string folder = own_directory() + "下载器程序";
  CreateDirectoryW(wide(folder).c_str(), nullptr);
  const std::string program = folder + "\\code_page_program.exe";
  ASSERT_TRUE(CopyFileW(wide(own_directory() + "code_page_program.exe").c_str(), wide(program).c_str(), FALSE));

  const std::string log = own_directory() + "code_page_program.log";
  DeleteFileW(wide(log).c_str());
  EXPECT_EQ(platform::run_program_and_wait({program, log}), 0);
  EXPECT_EQ(test_support::read_whole_file(log), folder + "\n" + folder + "\n");
}

}  // namespace
