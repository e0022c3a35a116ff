#include <gtest/gtest.h>

#include "downlib/local_time_text.h"
#include "downlib/mystrlib/text.h"
#include "downlib/net/socket_result.h"

// The engine's text helpers, its time text and the socket error texts. The
// sources are compiled with GBK literals, so the expected texts are too.
namespace {

TEST(LocalTimeText, time_part_shortens_with_trailing_zeros) {
  struct Case {
    platform::LocalTime time;
    const char* expected;
  };
  const Case cases[] = {
      {{2024, 3, 9, 14, 5, 7}, "2024年3月9日14时5分7秒"},   {{2024, 3, 9, 14, 5, 0}, "2024年3月9日14时5分"},
      {{2024, 3, 9, 14, 0, 0}, "2024年3月9日14时"},         {{2024, 3, 9, 0, 0, 0}, "2024年3月9日"},
      {{2024, 12, 31, 0, 0, 9}, "2024年12月31日0时0分9秒"}, {{2024, 12, 31, 0, 30, 0}, "2024年12月31日0时30分"},
  };
  for (const Case& c : cases) EXPECT_EQ(downlib::local_time_text(c.time), c.expected) << c.expected;
}

TEST(SocketResult, winsock_numbers_listed_or_unclassified) {
  EXPECT_EQ(downlib::net::from_socket_error(10054), -10054);
  EXPECT_EQ(downlib::net::from_socket_error(10060), -10060);
  EXPECT_EQ(downlib::net::from_socket_error(10056), -10056);
  EXPECT_EQ(downlib::net::from_socket_error(10061), -1) << "refused is not in the list";
  EXPECT_EQ(downlib::net::from_socket_error(10000), -1);
  EXPECT_STREQ(downlib::net::socket_error_text(-10), "接收数据超时");
  EXPECT_STREQ(downlib::net::socket_error_text(-22), "有错误发生");
  EXPECT_STREQ(downlib::net::socket_error_text(-10054), "远程主机强迫关闭了一个现有的连接。");
  EXPECT_STREQ(downlib::net::socket_error_text(-1), "未知错误");
  EXPECT_STREQ(downlib::net::socket_error_text(-10056), "未知错误");
  using downlib::net::AfterReceiveError;
  EXPECT_EQ(downlib::net::after_receive_error(-22), AfterReceiveError::EndNormally);
  EXPECT_EQ(downlib::net::after_receive_error(-1), AfterReceiveError::ReadAgain);
  EXPECT_EQ(downlib::net::after_receive_error(-20), AfterReceiveError::Stop);
  EXPECT_EQ(downlib::net::after_receive_error(-10), AfterReceiveError::Retry);
  EXPECT_EQ(downlib::net::after_receive_error(-10054), AfterReceiveError::Retry);
}

TEST(TextHelpers, decoding_numbers_and_addresses) {
  using namespace mystrlib;
  EXPECT_EQ(percent_decoded("a%20b%2Fc%zz%4"), "a b/c%zz%4");
  EXPECT_EQ(percent_decoded("a+b", PlusMeans::Space), "a b");
  EXPECT_EQ(percent_decoded("a+b"), "a+b");
  EXPECT_EQ(spaces_as_percent20("/a b/c  d"), "/a%20b/c%20%20d");
  EXPECT_EQ(without_line_breaks("a\r\nb\nc\r"), "abc");
  EXPECT_EQ(decimal_value(" 123 ", 1000), 123);
  EXPECT_EQ(decimal_value("1001", 1000), std::nullopt);
  EXPECT_EQ(decimal_value("-1", 1000), std::nullopt);
  EXPECT_EQ(decimal_value("", 1000), std::nullopt);
  EXPECT_EQ(decimal_value("12a", 1000), std::nullopt);
  EXPECT_EQ(decimal_value("99999999999999999999999", 0x7FFFFFFF), std::nullopt);
  EXPECT_TRUE(is_dotted_ipv4("127.0.0.1"));
  EXPECT_TRUE(is_dotted_ipv4("255.255.255.255"));
  EXPECT_FALSE(is_dotted_ipv4("256.0.0.1"));
  EXPECT_FALSE(is_dotted_ipv4("1.2.3"));
  EXPECT_FALSE(is_dotted_ipv4("1.2.3.4.5"));
  EXPECT_FALSE(is_dotted_ipv4("1..3.4"));
  EXPECT_FALSE(is_dotted_ipv4("1234.1.1.1"));
  EXPECT_FALSE(is_dotted_ipv4("127.0.0.1:80"));
  EXPECT_EQ(dotted_ipv4_value("127.0.0.1"), 0x7F000001u);
  EXPECT_EQ(find_no_case("Content-LENGTH: 5", "length"), 8u);
}

// "\" (0x5C) is the second byte of some double-byte characters: only a "\"
// of its own separates directories.
TEST(TextHelpers, backslash_inside_double_byte_character_is_no_separator) {
  const std::string name = std::string("dir\\a") + "\x95\x5C" + "b";  // 0x95 0x5C is one character
  EXPECT_EQ(mystrlib::find_last_gbk(name, '\\'), 3u);
  EXPECT_EQ(mystrlib::find_last_gbk("a\\b\\c", '\\'), 3u);
  EXPECT_EQ(mystrlib::find_last_gbk("abc", '\\'), std::string::npos);
}

}  // namespace
