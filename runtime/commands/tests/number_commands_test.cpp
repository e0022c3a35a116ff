// NumberToFormattedText, the bit operations, IntDivide (without a zero
// divisor: that ends the program, see kernel_program_test.cpp) and TickCount.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/commands/tests/command_test_support.h"

namespace kernel_test {
namespace {

TEST(NumberToFormattedText, rounds_half_up_pads_decimals_and_groups_thousands) {
  const struct {
    double number;
    rt::ArgValue decimals;
    rt::ArgValue thousands;
    std::string expected;
  } cases[] = {
      {1.005, integer(2), flag(false), "1.01"},
      {2.0, integer(2), flag(false), "2.00"},
      {12.5, integer(2), omitted(), "12.50"},
      {3.0, integer(2), omitted(), "3.00"},
      {2.345, integer(1), omitted(), "2.3"},
      {2.35, integer(1), omitted(), "2.4"},
      {-2.35, integer(1), omitted(), "-2.4"},
      {0.5, integer(0), omitted(), "1"},
      {-0.5, integer(0), omitted(), "-1"},
      {1234.0, integer(-2), omitted(), "1200"},
      {1250.0, integer(-2), omitted(), "1300"},
      {-0.001, integer(2), omitted(), "0.00"},
      {0.1 + 0.2, omitted(), omitted(), "0.3"},
      {1.0 / 3.0, omitted(), omitted(), "0.3333333333333"},
      {1234567.891, integer(2), flag(true), "1,234,567.89"},
      {-1234.0, omitted(), flag(true), "-1,234"},
      {123.0, omitted(), flag(true), "123"},
      {1e20, omitted(), flag(true), "1e+20"},  // not only digits: left as it is
      {1e20, integer(2), omitted(), "100000000000000000000.00"},
      {0.00001, integer(5), omitted(), "0.00001"},
      {5.0 / 1024, integer(2), omitted(), "0.00"},
      {512.0 / 1024, integer(2), omitted(), "0.50"},
  };
  int index = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(call_text(kNumberToFormattedText, {number(c.number), c.decimals, c.thousands}), c.expected)
        << "case " << index << ": " << c.number;
    ++index;
  }
}

TEST(BitOperations, and_all_arguments_and_complement) {
  EXPECT_EQ(call_int(kBitAnd, {integer(0x0F0F), integer(0x00FF)}), 0x000F);
  EXPECT_EQ(call_int(kBitAnd, {integer(-1), integer(0x7FFF), integer(0x0FF0)}), 0x0FF0);
  EXPECT_EQ(call_int(kBitNot, {integer(0)}), -1);
  EXPECT_EQ(call_int(kBitNot, {integer(0x0F)}), static_cast<int32_t>(0xFFFFFFF0u));
}

TEST(IntDivide, truncates_toward_zero_after_each_division) {
  const struct {
    std::initializer_list<double> operands;
    double expected;
  } cases[] = {
      {{7.0, 2.0}, 3.0}, {{-7.0, 2.0}, -3.0}, {{100.0, 3.0, 2.0}, 16.0},  // 33, then 16: not 100 / 6
      {{7.5, 2.5}, 3.0}, {{1.0, 3.0}, 0.0},
  };
  for (const auto& c : cases) {
    std::vector<rt::ArgValue> args;
    for (double d : c.operands) args.push_back(number(d));
    rt::ArgValue result;
    switch (args.size()) {
      case 2: result = call(kIntDivide, {args[0], args[1]}); break;
      case 3: result = call(kIntDivide, {args[0], args[1], args[2]}); break;
    }
    EXPECT_EQ(result.tag, rt::tag::kDouble);
    EXPECT_EQ(result.as_double(), c.expected) << "first operand " << *c.operands.begin();
  }
}

TEST(TickCount, counts_milliseconds) {
  const auto before = static_cast<uint32_t>(call_int(kTickCount, {}));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto elapsed = static_cast<uint32_t>(call_int(kTickCount, {})) - before;
  EXPECT_GE(elapsed, 40u);
  EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace kernel_test
