// The parts of the command mode that need no child program: reading a list
// of server roots in the encodings editors save, and the output lines.
#include <gtest/gtest.h>

#include "platform/testing/display_text.h"
#include "updater/command_runs.h"
#include "updater/targets_file.h"

namespace updater {
namespace {

using test_support::display_text;
using Lines = std::vector<std::string>;

std::string shown(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += " [" + display_text(line) + "]";
  return text;
}

// "服务器" in UTF-8, UTF-16LE and GBK.
const std::string kUtf8Server = "\xE6\x9C\x8D\xE5\x8A\xA1\xE5\x99\xA8";
const std::string kUtf16Server = std::string("\x0D\x67\xA1\x52\x68\x56", 6);
const std::string kGbkServer = "服务器";

TEST(TargetsFile, reads_the_roots_in_every_encoding_an_editor_saves) {
  const std::pair<std::string, Lines> cases[] = {
      {"D:\\A\r\nD:\\B\r\n", {"D:\\A", "D:\\B"}},
      {"D:\\A\nD:\\B", {"D:\\A", "D:\\B"}},  // Unix line ends, no final break
      {"\r\n  D:\\A  \r\n\t\r\n\r\nD:\\B\t\r\n", {"D:\\A", "D:\\B"}},
      {"\xEF\xBB\xBF"
       "D:\\" +
           kUtf8Server + "\r\n",
       {"D:\\" + kGbkServer}},
      {"D:\\" + kUtf8Server + "\\\xE4\xB8\x80\r\n", {"D:\\" + kGbkServer + "\\一"}},
      {std::string("\xFF\xFE"
                   "D\0:\0\\\0",
                   8) +
           kUtf16Server + std::string("\r\0\n\0", 4),
       {"D:\\" + kGbkServer}},
      {std::string("\xFE\xFF\0D\0:\0\\", 8) + "\x67\x0D\x52\xA1\x56\x68", {"D:\\" + kGbkServer}},
      // Not UTF-8: the program's own GBK, taken as it is, also a character
      // whose second byte is the code of "\" ("閈", E9 5C).
      {"D:\\" + kGbkServer + "\r\nD:\\\xE9\x5C\\x\r\n", {"D:\\" + kGbkServer, "D:\\\xE9\x5C\\x"}},
      // The ideographic space a Chinese input method types counts as blank.
      {"\xE3\x80\x80"
       "D:\\A\xE3\x80\x80\r\n",
       {"D:\\A"}},
      {"", {}},
      {"\r\n \r\n", {}},
  };
  int number = 0;
  for (const auto& [bytes, roots] : cases) {
    ++number;
    const Result<Lines> got = targets_from_bytes(bytes);
    ASSERT_TRUE(got.ok()) << "case " << number << ": " << display_text(got.reason());
    EXPECT_EQ(got.value(), roots) << "case " << number << ": got" << shown(got.value()) << ", expected" << shown(roots);
  }
}

TEST(TargetsFile, refuses_a_list_it_cannot_read_right) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xEF\xBB\xBF"
       "D:\\\xFF\xFE\r\n",
       "不是有效的 UTF-8"},
      {std::string("\xFF\xFE"
                   "D\0:",
                   5),
       "UTF-16 的内容不完整"},
      // "😀" has no GBK form: a substitute would name another directory.
      {"D:\\A\r\nD:\\\xF0\x9F\x98\x80\r\n", "第 2 行的目录含有 GBK 以外的字符"},
  };
  for (const auto& [bytes, reason] : cases) {
    const Result<Lines> got = targets_from_bytes(bytes);
    ASSERT_FALSE(got.ok()) << display_text(bytes);
    EXPECT_EQ(got.reason(), reason) << display_text(bytes) << ": got " << display_text(got.reason());
  }
}

TEST(CommandOutput, verdict_lines_name_the_package_and_both_digests) {
  const std::string remote = "0123456789abcdef0123456789abcdef";
  EXPECT_EQ(verdict_line({Package::Feature, kEmptyDigest, remote, true}), "功能 - " + remote + " 发现新版");
  EXPECT_EQ(verdict_line({Package::Tools, remote, remote, false}), "工具 " + remote + " " + remote + " 最新版");
}

TEST(CommandOutput, progress_shows_what_the_window_shows) {
  EXPECT_EQ(progress_text("正在下载功能文件:", 45, 22923, 50940, "1.50MB/S"),
            "正在下载功能文件: 45% 22923/50940 字节 1.50MB/S");
  // Before the size is known, and before the first speed.
  EXPECT_EQ(progress_text("正在下载工具文件:", 0, 0, 0, ""), "正在下载工具文件: 0% 0 字节");
  EXPECT_EQ(progress_text("正在下载工具文件:", 0, -1, -1, ""), "正在下载工具文件: 0% 0 字节");
}

TEST(CommandOutput, a_message_of_several_lines_indents_all_but_the_first) {
  EXPECT_EQ(message_lines("安装到 D:\\A\\ 失败\r\nMir200\\M2Server.exe\r\nDBServer\\DBServer.exe"),
            (Lines{"安装到 D:\\A\\ 失败", "  Mir200\\M2Server.exe", "  DBServer\\DBServer.exe"}));
  EXPECT_EQ(message_lines("回滚完成"), Lines{"回滚完成"});
}

}  // namespace
}  // namespace updater
