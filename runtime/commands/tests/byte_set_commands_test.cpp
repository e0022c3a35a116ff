// ZeroBytes, BytesLength, PointerToBytes and BytesRight.
#include <gtest/gtest.h>

#include "runtime/commands/tests/command_test_support.h"

namespace kernel_test {
namespace {

TEST(ByteSets, zero_bytes_and_lengths) {
  EXPECT_EQ(call_bytes(kZeroBytes, {integer(3)}), std::string(3, '\0'));
  EXPECT_EQ(call_bytes(kZeroBytes, {integer(0)}), "");
  EXPECT_EQ(call_bytes(kZeroBytes, {integer(-4)}), "");
  EXPECT_EQ(call_int(kBytesLength, {bytes("abcd")}), 4);
  EXPECT_EQ(call_int(kBytesLength, {bytes("")}), 0);  // passed as the constant empty byte set
}

TEST(ByteSets, right_gives_the_last_bytes) {
  const struct {
    std::string bytes;
    int32_t count;
    std::string expected;
  } cases[] = {
      {"abc", 5, "abc"}, {"abc", 1, "c"}, {"abc", 0, ""}, {"abc", -2, ""}, {"", 2, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(call_bytes(kBytesRight, {bytes(c.bytes), integer(c.count)}), c.expected)
        << "right " << c.count << " of \"" << c.bytes << "\"";
}

TEST(ByteSets, pointer_to_bytes_copies_memory_at_the_address) {
  const char memory[] = "memory\0tail";
  // The address travels as an int; in the 64-bit builds it fills both payload words.
  const rt::ArgValue address = rt::ArgValue::of_ref(memory, rt::tag::kInt);
  EXPECT_EQ(call_bytes(kPointerToBytes, {address, integer(11)}), std::string("memory\0tail", 11));
  EXPECT_EQ(call_bytes(kPointerToBytes, {address, integer(0)}), "");
  EXPECT_EQ(call_bytes(kPointerToBytes, {integer(0), integer(4)}), "");
}

}  // namespace
}  // namespace kernel_test
