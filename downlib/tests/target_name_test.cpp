#include "downlib/engine/target_name.h"

#include <gtest/gtest.h>

namespace {

using downlib::engine::next_numbered_path;
using downlib::engine::safe_file_name;
using downlib::engine::url_file_name;

TEST(TargetName, automatic_numbering) {
  struct Case {
    const char* path;
    std::optional<std::string> next;
  };
  const Case cases[] = {
      {"C:\\dl\\x.zip", "C:\\dl\\x(1).zip"},
      {"C:\\dl\\x(1).zip", "C:\\dl\\x(2).zip"},
      {"C:\\dl\\x(9).zip", "C:\\dl\\x(10).zip"},
      {"C:\\dl\\x(98).zip", "C:\\dl\\x(99).zip"},
      {"C:\\dl\\x(99).zip", std::nullopt},
      {"a.b.c", "a(1).b.c"},
      {"C:\\d.ir\\name", "C:\\d.ir\\name(1)"},  // dots of directories do not count
      {"x(123).zip", "x(123)(1).zip"},          // three digits are no number of ours
      {"x(ab).zip", "x(ab)(1).zip"},
      {"x().zip", "x()(1).zip"},
      {".hidden", "(1).hidden"},
  };
  for (const Case& c : cases) EXPECT_EQ(next_numbered_path(c.path), c.next) << c.path;
}

TEST(TargetName, server_and_url_names_become_plain_names) {
  struct Case {
    std::string name;
    std::optional<std::string> safe;
  };
  const Case cases[] = {
      {"pkg.zip", "pkg.zip"},
      {"../../evil.exe", "evil.exe"},
      {"..\\..\\windows\\system32\\evil.dll", "evil.dll"},
      {"C:\\evil.exe", "evil.exe"},
      {"C:evil.exe", "C_evil.exe"},
      {"/etc/passwd", "passwd"},
      {"..", std::nullopt},
      {".", std::nullopt},
      {"dir/", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"a?b*c|d\"e<f>g", "a_b_c_d_e_f_g"},
      {std::string("a\x01"
                   "b\x7f"),
       "a_b_"},
      {"name. . .", "name"},
      {"CON", "_CON"},
      {"nul.txt", "_nul.txt"},
      {"com1.zip", "_com1.zip"},
      {"console.zip", "console.zip"},
      {std::string("\xB0\xFC.zip"), std::string("\xB0\xFC.zip")},  // a double-byte name stays
      {std::string("a\x95\x5C"
                   "b.zip"),
       std::string("a\x95\x5C"
                   "b.zip")},               // its 0x5C is no separator
      {std::string("x.zip\xB0"), "x.zip"},  // half a character at the end goes
  };
  for (const Case& c : cases) EXPECT_EQ(safe_file_name(c.name), c.safe) << c.name;
}

TEST(TargetName, url_names_are_decoded_last_parts) {
  EXPECT_EQ(url_file_name("/dir/my%20file.zip"), "my file.zip");
  EXPECT_EQ(url_file_name("/get.php?id=5&f=a/b.zip"), "get.php");
  EXPECT_EQ(url_file_name("/dir/"), "");
  EXPECT_EQ(url_file_name("/a%2F..%2Fb.zip"), "a/../b.zip");  // decoded; made safe afterwards
  EXPECT_EQ(safe_file_name(url_file_name("/a%2F..%2Fb.zip")), "b.zip");
  EXPECT_EQ(safe_file_name(url_file_name("/x/..%5C..%5Cboot.ini")), "boot.ini");
}

}  // namespace
