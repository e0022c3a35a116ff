// FindText, TextLength, TextRight, SplitText, ToUpper and CompareText,
// with the two-byte characters that catch a walk gone wrong.
#include <gtest/gtest.h>

#include "runtime/commands/tests/command_test_support.h"

namespace kernel_test {
namespace {

// "\x81\x61" is a two-byte character whose trail byte is the letter a;
// "\xB0\xA1" (啊) and "\xB0\xD1" (把) are ordinary ones.
const std::string kTrailA = "\x81\x61";

struct FindCase {
  std::string text;
  std::string sought;
  rt::ArgValue start;
  rt::ArgValue ignore_case;
  int32_t expected;
};

TEST(FindText, gives_byte_positions_and_never_matches_inside_a_character) {
  const FindCase cases[] = {
      {"中文abc", "abc", omitted(), omitted(), 5},
      {"abcabc", "c", omitted(), omitted(), 3},
      {"abcabc", "c", integer(4), omitted(), 6},
      {"abcabc", "a", integer(-3), omitted(), 1},  // below 1 counts as 1
      {"abc", "d", omitted(), omitted(), -1},
      {"abc", "abcd", omitted(), omitted(), -1},
      {kTrailA + "bc", "a", omitted(), omitted(), -1},
      {kTrailA + "bc", "abc", omitted(), omitted(), -1},
      {kTrailA + "abc", "abc", omitted(), omitted(), 3},
      {kTrailA + "bc", "A", omitted(), flag(true), -1},
      {"xABC", "abc", omitted(), flag(true), 2},
      {"xABC", "abc", omitted(), flag(false), -1},
      {"xABC", "abc", omitted(), omitted(), -1},
      {"\xB0\xA1"
       "B",
       "\xB0\xA1"
       "b",
       omitted(), flag(true), 1},
      {"abc", "", omitted(), omitted(), 1},
      {"abc", "", integer(3), omitted(), 1},
      {"abc", "", integer(4), omitted(), -1},
      {"", "", omitted(), omitted(), -1},
      {"abc", "c", integer(9), omitted(), -1},
      {"ab\x81", "\x81", omitted(), omitted(), -1},  // a lone lead byte ends the text
  };
  int index = 0;
  for (const FindCase& c : cases) {
    const int32_t got = call_int(kFindText, {text(c.text), text(c.sought), c.start, c.ignore_case});
    EXPECT_EQ(got, c.expected) << "case " << index << ": find \"" << shown(c.sought) << "\" in \"" << shown(c.text)
                               << "\"";
    ++index;
  }
}

TEST(TextLength, counts_bytes_not_characters) {
  EXPECT_EQ(call_int(kTextLength, {text("中文ab")}), 6);
  EXPECT_EQ(call_int(kTextLength, {text("")}), 0);
}

TEST(TextRight, gives_the_last_bytes_and_empty_for_nothing) {
  const struct {
    std::string text;
    int32_t count;
    std::string expected;
  } cases[] = {
      {"abc", 5, "abc"}, {"abc", 2, "bc"}, {"abc", 0, ""}, {"abc", -1, ""}, {"", 3, ""}, {"中文", 2, "文"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(call_text(kTextRight, {text(c.text), integer(c.count)}), c.expected)
        << "right " << c.count << " of \"" << shown(c.text) << "\"";
}

struct SplitCase {
  std::string text;
  rt::ArgValue separator;
  rt::ArgValue limit;
  std::vector<std::string> expected;
};

TEST(SplitText, drops_only_a_trailing_empty_piece_and_stops_at_the_limit) {
  const std::string comma = ",";
  const std::string crlf = "\r\n";
  const std::string empty;
  const std::string a = "a";
  const SplitCase cases[] = {
      {"a,b,", omitted(), omitted(), {"a", "b"}},
      {"a,,b", omitted(), omitted(), {"a", "", "b"}},
      {",a", omitted(), omitted(), {"", "a"}},
      {",", omitted(), omitted(), {""}},
      {"abc", omitted(), omitted(), {"abc"}},
      {"", omitted(), omitted(), {}},
      {"a,b", text(empty), omitted(), {"a,b"}},
      {"a,b,c", omitted(), integer(2), {"a", "b"}},
      {"a,b,c", omitted(), integer(3), {"a", "b", "c"}},
      {"a,b,c", omitted(), integer(0), {}},
      {"a,b,c", omitted(), integer(-1), {}},  // a negative limit counts as 0
      {"D:\\a\r\n\r\nE:\\b\r\n", text(crlf), omitted(), {"D:\\a", "", "E:\\b"}},
      {"x" + kTrailA + "yay", text(a), omitted(), {"x" + kTrailA + "y", "y"}},
      {"中,文", text(comma), omitted(), {"中", "文"}},
  };
  int index = 0;
  for (const SplitCase& c : cases) {
    const std::vector<std::string> got = take_text_array(call(kSplitText, {text(c.text), c.separator, c.limit}));
    EXPECT_EQ(got, c.expected) << "case " << index << ": split \"" << shown(c.text) << "\"";
    ++index;
  }
}

TEST(ToUpper, raises_ascii_letters_only) {
  EXPECT_EQ(call_text(kToUpper, {text("mir200\\plugList.txt")}), "MIR200\\PLUGLIST.TXT");
  EXPECT_EQ(call_text(kToUpper, {text(kTrailA + "b中")}), kTrailA + "B中");
  EXPECT_EQ(call_text(kToUpper, {text("")}), "");
}

TEST(CompareText, compares_by_gbk_character_exactly_or_ignoring_ascii_case) {
  const struct {
    std::string a;
    std::string b;
    bool case_sensitive;
    int expected_sign;
  } cases[] = {
      {"abc", "abc", true, 0},
      {"abc", "ABC", true, 1},
      {"abc", "ABC", false, 0},
      {"Readme.TXT", "README.txt", false, 0},
      {"abc", "abd", false, -1},
      {"abc", "ab", true, 1},
      {"", "a", true, -1},
      {"\xB0\xA1", "\xB0\xD1", true, -1},  // 啊 before 把, as in GB2312's order
      {"z", "\xB0\xA1", false, -1},        // ASCII before two-byte characters
      {kTrailA,
       "\x81"
       "A",
       false, 1},  // a trail byte never folds
      {"中文", "中文", false, 0},
  };
  for (const auto& c : cases) {
    const int32_t got = call_int(kCompareText, {text(c.a), text(c.b), flag(c.case_sensitive)});
    const int sign = got < 0 ? -1 : got > 0 ? 1 : 0;
    EXPECT_EQ(sign, c.expected_sign) << "compare \"" << shown(c.a) << "\" with \"" << shown(c.b) << "\" ("
                                     << (c.case_sensitive ? "exact" : "ignoring case") << "): got " << got;
  }
}

}  // namespace
}  // namespace kernel_test
