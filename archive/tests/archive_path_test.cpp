// Output paths of entries, the names that stay inside the target, and
// directories created level by level.
#include "archive/zip/archive_path.h"

#include <gtest/gtest.h>

#include "archive/tests/unpack_test_support.h"

namespace zip_test {
namespace {

using namespace archive::zip;

// "淺" is B3 5C in GBK: its second byte is a backslash that is none.
const std::string kTrailBackslash = "淺";

TEST(ArchivePath, both_target_spellings_give_the_same_output_path_with_backslashes) {
  struct Case {
    std::string target;
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
      {"D:\\out", "a.txt", "D:\\out\\a.txt"},
      {"D:\\out\\", "a.txt", "D:\\out\\a.txt"},
      {"D:\\out", "sub/dir/a.txt", "D:\\out\\sub\\dir\\a.txt"},
      {"D:\\out\\", "sub/dir/", "D:\\out\\sub\\dir\\"},
      {"out", "霁川/说明.txt", "out\\霁川\\说明.txt"},
      {"D:\\" + kTrailBackslash, "a.txt", "D:\\" + kTrailBackslash + "\\a.txt"},
      {"D:\\" + kTrailBackslash + "\\", "a.txt", "D:\\" + kTrailBackslash + "\\a.txt"},
      {"D:\\out", kTrailBackslash + "/a.txt", "D:\\out\\" + kTrailBackslash + "\\a.txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shown(output_path(c.target, c.name)), shown(c.expected)) << shown(c.target) << " + " << shown(c.name);
  }
}

TEST(ArchivePath, the_last_component_ends_at_a_real_backslash) {
  EXPECT_EQ(last_component_length("D:\\out\\a.txt"), 5u);
  EXPECT_EQ(last_component_length("D:\\out\\"), 0u);
  EXPECT_EQ(last_component_length("a.txt"), 5u);
  EXPECT_EQ(last_component_length("D:\\out\\" + kTrailBackslash), 2u);
  EXPECT_EQ(last_component_length("D:\\out\\" + kTrailBackslash + "x"), 3u);
}

TEST(ArchivePath, names_that_would_lead_outside_the_target_are_told_apart_from_the_rest) {
  struct Case {
    std::string name;
    bool inside;
  };
  const Case cases[] = {
      {"a.txt", true},
      {"sub/a.txt", true},
      {"sub\\a.txt", true},
      {"sub/", true},
      {"./a.txt", true},
      {"a..b/c..txt", true},
      {"..a/b", true},
      {".hidden", true},
      {"霁川/说明.txt", true},
      {kTrailBackslash + "/a.txt", true},
      {kTrailBackslash + "..", true},  // the "\" inside the character separates nothing
      {"", false},
      {"/etc/passwd", false},
      {"\\windows\\a.txt", false},
      {"\\\\server\\share\\a.txt", false},
      {"//server/share/a.txt", false},
      {"C:/a.txt", false},
      {"c:\\a.txt", false},
      {"C:a.txt", false},
      {"..", false},
      {"../a.txt", false},
      {"..\\a.txt", false},
      {"sub/../../a.txt", false},
      {"sub\\..\\..\\a.txt", false},
      {"sub/..", false},
      {"sub/../a.txt", false},  // still inside, but no archiver writes it
      {"sub/.../a.txt", false},
      {"sub/. ./a.txt", false},
      {"sub/.. /a.txt", false},
  };
  for (const Case& c : cases) EXPECT_EQ(name_stays_inside(c.name), c.inside) << shown(c.name);
}

TEST(ArchivePath, directories_are_created_level_by_level_up_to_259_bytes) {
  ScratchDirectory scratch("目录层级");
  const std::string nested = scratch / ("一\\二\\" + kTrailBackslash + "\\三");
  ASSERT_TRUE(create_directory_levels(nested).ok());
  EXPECT_EQ(tree(scratch.path()), (std::vector<std::string>{"一\\", "一\\二\\", "一\\二\\" + kTrailBackslash + "\\",
                                                            "一\\二\\" + kTrailBackslash + "\\三\\"}));
  EXPECT_TRUE(create_directory_levels(nested + "\\").ok()) << "an existing directory is no failure";

  // A level of 260 bytes (with its "\") is refused; 259 is created.
  const std::string base = scratch.path() + "\\";
  const std::string fits = base + std::string(kLongestPath - base.size() - 1, 'a');
  EXPECT_TRUE(create_directory_levels(fits).ok()) << fits.size() + 1 << " bytes";
  const std::string too_long = base + std::string(kLongestPath - base.size(), 'b');
  const auto refused = create_directory_levels(too_long);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error(), ZipError::PathTooLong);

  // A file where a directory should be.
  write_file(scratch / "file", "x");
  EXPECT_FALSE(create_directory_levels(scratch / "file\\sub").ok());
}

TEST(ArchivePath, parent_directories_of_a_file_are_created_below_the_base_only) {
  ScratchDirectory scratch("上级目录");
  const std::string base = scratch.path() + "\\";
  ASSERT_TRUE(create_parent_directories(base, base + "a\\b\\c.txt").ok());
  ASSERT_TRUE(create_parent_directories(base, base + "top.txt").ok());
  EXPECT_EQ(tree(scratch.path()), (std::vector<std::string>{"a\\", "a\\b\\"}));
}

}  // namespace
}  // namespace zip_test
