// ToText, ToBytes and ToInteger over every type they take.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/blocks.h"
#include "runtime/commands/tests/command_test_support.h"
#include "runtime/memory.h"

namespace kernel_test {
namespace {

rt::ArgValue of_tag(uint32_t low, uint32_t high, rt::TypeTag tag) { return rt::ArgValue{low, high, tag}; }
rt::ArgValue date_time(double days) {
  rt::ArgValue value = rt::ArgValue::of_double(days);
  value.tag = rt::tag::kDateTime;
  return value;
}

// An int array block {1, n, elements}, alive for the whole test.
class IntArray {
 public:
  explicit IntArray(std::initializer_list<int32_t> elements) {
    m_block = rt::make_array(static_cast<uint32_t>(elements.size()), 4);
    std::memcpy(rt::array_of(m_block).elements, elements.begin(), elements.size() * 4);
  }
  ~IntArray() { rt::release(m_block); }
  rt::ArgValue arg() const { return rt::ArgValue::of_ref(m_block, rt::tag::kInt | rt::tag::kArrayFlag); }

 private:
  void* m_block;
};

TEST(ToText, writes_each_type_in_its_format) {
  const IntArray letters({0x00636261, 0x64});  // "abc" then a zero byte
  const std::string some_text = "文本";
  const struct {
    rt::ArgValue value;
    std::string expected;
  } cases[] = {
      {of_tag(0x1FF, 0, rt::tag::kByte), "255"},
      {of_tag(0xFFFF, 0, rt::tag::kShort), "-1"},
      {integer(-42), "-42"},
      {rt::ArgValue::of_int64(-1234567890123LL), "-1234567890123"},
      {rt::ArgValue::of_float(0.1f), "0.1"},
      {rt::ArgValue::of_float(1234567.0f), "1.23457e+06"},
      {number(0.1 + 0.2), "0.3"},
      {number(1.0 / 3.0), "0.3333333333333"},
      {number(12345678901234.0), "1.234567890123e+13"},
      {flag(true), "真"},
      {flag(false), "假"},
      {date_time(0.0), "1899年12月30日"},
      {date_time(45000.5), "2023年3月15日12时"},
      {date_time(45000.0 + (13 * 3600 + 5 * 60) / 86400.0), "2023年3月15日13时5分"},
      {date_time(45000.0 + 7.0 / 86400.0), "2023年3月15日0时0分7秒"},
      {date_time(-1.25), "1899年12月29日6时"},  // before day 0 the fraction is still the time
      {date_time(2958465.0), "9999年12月31日"},
      {date_time(9e9), "9999年12月31日"},
      {date_time(-9e9), "100年1月1日"},
      {text(some_text), "文本"},
      {bytes(std::string("ab\0cd", 5)), "ab"},
      {bytes("xyz"), "xyz"},
      {letters.arg(), "abc"},
      {of_tag(1234, 0, rt::tag::kSubroutine), ""},
      {omitted(), ""},
  };
  int index = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(call_text(kToText, {c.value}), c.expected)
        << "case " << index << " (tag " << std::hex << c.value.tag << ")";
    ++index;
  }
}

TEST(ToBytes, gives_raw_little_endian_payloads) {
  const IntArray pair({1, -1});
  const std::string some_text = "ab中";
  const struct {
    rt::ArgValue value;
    std::string expected;
  } cases[] = {
      {of_tag(0x1234AB, 0, rt::tag::kByte), "\xAB"},
      {of_tag(0x1234, 0, rt::tag::kShort), "\x34\x12"},
      {integer(0x01020304), "\x04\x03\x02\x01"},
      {rt::ArgValue::of_int64(0x0102030405060708LL), "\x08\x07\x06\x05\x04\x03\x02\x01"},
      {rt::ArgValue::of_float(1.0f), std::string("\0\0\x80\x3F", 4)},
      {number(1.0), std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
      {flag(true), std::string("\x01\0\0\0", 4)},
      {date_time(1.0), std::string("\0\0\0\0\0\0\xF0\x3F", 8)},
      {text(some_text), "ab中"},
      {bytes(std::string("a\0b", 3)), std::string("a\0b", 3)},
      {pair.arg(), std::string("\x01\0\0\0\xFF\xFF\xFF\xFF", 8)},
      {omitted(), ""},
  };
  int index = 0;
  for (const auto& c : cases) {
    const std::string got = call_bytes(kToBytes, {c.value});
    EXPECT_EQ(got, c.expected) << "case " << index << ": got \"" << shown(got) << "\", expected \"" << shown(c.expected)
                               << "\"";
    ++index;
  }
}

TEST(ToInteger, converts_every_type_and_reads_full_width_digits) {
  const struct {
    std::string text;
    int32_t expected;
  } texts[] = {
      {"42", 42},
      {"  -17abc", -17},
      {"+8", 8},
      {"abc", 0},
      {"", 0},
      {"\xA3\xB1\xA3\xB2", 12},  // １２
      {"\xA3\xAD\xA3\xB3", -3},  // －３
      {"\xA3\xAB\xA3\xB4", 4},   // ＋４
      {"\xA1\xA1\xA1\xA1"
       "24",
       24},  // ideographic spaces first
      {"2\xA3\xB0\xA3\xB0"
       "1",
       2001},  // mixed widths
      {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
  };
  for (const auto& c : texts)
    EXPECT_EQ(call_int(kToInteger, {text(c.text)}), c.expected) << "text \"" << shown(c.text) << "\"";

  const struct {
    rt::ArgValue value;
    int32_t expected;
  } values[] = {
      {integer(-5), -5},
      {of_tag(0xFF, 0, rt::tag::kByte), 255},
      {of_tag(0xFFFE, 0, rt::tag::kShort), -2},
      {rt::ArgValue::of_int64(0x1'0000'0007LL), 7},
      {number(-3.99), -3},
      {number(3.99), 3},
      {rt::ArgValue::of_float(-2.5f), -2},
      {number(1e10), -2147483647 - 1},  // out of range, as the processor converts it
      {of_tag(2, 0, rt::tag::kBool), 2},
      {of_tag(0x401000, 0, rt::tag::kSubroutine), 0x401000},
      {date_time(45000.0), 0},
      {bytes("12"), 0},
  };
  int index = 0;
  for (const auto& c : values) {
    EXPECT_EQ(call_int(kToInteger, {c.value}), c.expected) << "value case " << index;
    ++index;
  }
}

}  // namespace
}  // namespace kernel_test
