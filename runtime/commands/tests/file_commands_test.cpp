// File and directory commands on real files with GBK names, and
// MakeTempFileName.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "platform/path.h"
#include "runtime/commands/tests/command_test_support.h"

namespace kernel_test {
namespace {

#ifdef _WIN32
std::filesystem::path directory_of(const std::string& program_path) {
  return std::filesystem::path(platform::wide_path(program_path));
}
const std::filesystem::path kEngineArchive = L"霁川.zip";
#else
std::filesystem::path directory_of(const std::string& program_path) {
  return std::filesystem::path(platform::native_path(program_path));
}
const std::filesystem::path kEngineArchive = u8"霁川.zip";
#endif

TEST(FileCommands, write_and_read_whole_files_under_gbk_names) {
  ScratchDirectory directory("文件读写");
  const std::string file = directory / "霁川.zip";
  ASSERT_TRUE(call_bool(kWriteFileBytes, {text(file), bytes("abc"), bytes(""), bytes("def")}));
  EXPECT_EQ(read_file(file), "abcdef");
  EXPECT_EQ(call_bytes(kReadFileBytes, {text(file)}), "abcdef");

  // The name on disk is the character the GBK text means, whatever the code page.
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory_of(directory.path())))
    names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::filesystem::path>{kEngineArchive});

  // A shorter write replaces the whole content; no byte sets leave an empty file.
  ASSERT_TRUE(call_bool(kWriteFileBytes, {text(file), bytes("x")}));
  EXPECT_EQ(read_file(file), "x");
  ASSERT_TRUE(call_bool(kWriteFileBytes, {text(file)}));
  EXPECT_TRUE(file_exists(file));
  EXPECT_EQ(call_bytes(kReadFileBytes, {text(file)}), "");
}

TEST(FileCommands, failures_are_false_or_empty) {
  ScratchDirectory directory("文件失败");
  EXPECT_FALSE(call_bool(kWriteFileBytes, {text(""), bytes("abc")}));
  EXPECT_FALSE(call_bool(kWriteFileBytes, {text(directory / "无\\a.txt"), bytes("abc")}));
  EXPECT_EQ(call_bytes(kReadFileBytes, {text("")}), "");
  EXPECT_EQ(call_bytes(kReadFileBytes, {text(directory / "无.txt")}), "");
  EXPECT_EQ(call_bytes(kReadFileBytes, {text(directory.path())}), "");  // a directory
}

TEST(FileCommands, write_refuses_a_file_another_writer_holds) {
  ScratchDirectory directory("文件独占");
  const std::string file = directory / "held.txt";
  write_file(file, "before");
#ifdef _WIN32
  HANDLE held = CreateFileW(platform::wide_path(file).c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
#else
  const int held = open(platform::native_path(file).c_str(), O_RDWR);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
#endif
  EXPECT_FALSE(call_bool(kWriteFileBytes, {text(file), bytes("after")}));
#ifdef _WIN32
  CloseHandle(held);
#else
  close(held);
#endif
  EXPECT_EQ(read_file(file), "before");
  EXPECT_TRUE(call_bool(kWriteFileBytes, {text(file), bytes("after")}));
  EXPECT_EQ(read_file(file), "after");
}

TEST(FileCommands, remove_make_directory_and_copy) {
  ScratchDirectory directory("文件操作");
  const std::string source = directory / "源.txt";
  const std::string target = directory / "目标.txt";
  write_file(source, "new content");
  write_file(target, "old content that is longer");

  EXPECT_TRUE(call_bool(kCopyFileTo, {text(source), text(target)}));
  EXPECT_EQ(read_file(target), "new content");
  EXPECT_FALSE(call_bool(kCopyFileTo, {text(directory / "无.txt"), text(directory / "别.txt")}));
  EXPECT_FALSE(file_exists(directory / "别.txt"));
  EXPECT_FALSE(call_bool(kCopyFileTo, {text(source), text(source)}));
  EXPECT_EQ(read_file(source), "new content");

  const std::string sub = directory / "子目录";
  EXPECT_TRUE(call_bool(kMakeDirectory, {text(sub)}));
  EXPECT_TRUE(std::filesystem::is_directory(directory_of(sub)));
  EXPECT_FALSE(call_bool(kMakeDirectory, {text(sub)}));
  EXPECT_FALSE(call_bool(kMakeDirectory, {text(directory / "甲\\乙")}));  // one level only
  EXPECT_TRUE(call_bool(kCopyFileTo, {text(source), text(sub + "\\复制.txt")}));
  EXPECT_EQ(read_file(sub + "\\复制.txt"), "new content");

  EXPECT_TRUE(call_bool(kRemoveFile, {text(target)}));
  EXPECT_FALSE(file_exists(target));
  EXPECT_FALSE(call_bool(kRemoveFile, {text(target)}));
  EXPECT_FALSE(call_bool(kRemoveFile, {text(sub)}));  // not a directory
  EXPECT_TRUE(file_exists(sub));
}

std::string temp_name(const std::string& directory) { return call_text(kMakeTempFileName, {text(directory)}); }

TEST(MakeTempFileName, names_a_hexadecimal_tmp_file_in_the_directory) {
  ScratchDirectory directory("临时");
  const std::string name = temp_name(directory.path());
  const std::string prefix = directory.path() + "\\";
  ASSERT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
  const std::string base = name.substr(prefix.size());
  ASSERT_GT(base.size(), 4u);
  EXPECT_EQ(base.substr(base.size() - 4), ".tmp");
  EXPECT_EQ(base.find_first_not_of("0123456789abcdef"), base.size() - 4) << base;
  EXPECT_FALSE(file_exists(name));                                    // named, not created
  EXPECT_EQ(temp_name(prefix).compare(0, prefix.size(), prefix), 0);  // no doubled separator

  const std::string in_temp = call_text(kMakeTempFileName, {omitted()});
  const std::string temp = directory.path().substr(0, directory.path().rfind('\\') + 1);
  EXPECT_EQ(in_temp.compare(0, temp.size(), temp), 0) << in_temp;
}

TEST(MakeTempFileName, never_names_the_same_file_twice) {
  ScratchDirectory directory("临时唯一");
  std::set<std::string> names;
  for (int i = 0; i < 500; ++i) names.insert(temp_name(directory.path()));
  EXPECT_EQ(names.size(), 500u);

  // Names whose files exist are skipped: occupy the next hundred numbers.
  const std::string last = temp_name(directory.path());
  const size_t name_start = last.rfind('\\') + 1;
  const unsigned long number = std::stoul(last.substr(name_start), nullptr, 16);
  for (unsigned long n = number + 1; n <= number + 100; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "%lx.tmp", n);
    write_file(directory / name, "");
  }
  const std::string next = temp_name(directory.path());
  EXPECT_FALSE(file_exists(next)) << next;

  std::vector<std::vector<std::string>> per_thread(4);
  std::vector<std::thread> threads;
  for (auto& list : per_thread)
    threads.emplace_back([&list, &directory] {
      for (int i = 0; i < 200; ++i) list.push_back(temp_name(directory.path()));
    });
  for (auto& t : threads) t.join();
  std::set<std::string> all;
  for (const auto& list : per_thread) all.insert(list.begin(), list.end());
  EXPECT_EQ(all.size(), 800u);
}

}  // namespace
}  // namespace kernel_test
