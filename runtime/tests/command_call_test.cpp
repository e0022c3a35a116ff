#include "runtime/command_call.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/blocks.h"
#include "runtime/memory.h"

namespace {

// What the last command saw.
struct Seen {
  int32_t count = -1;
  rt::ArgValue result_before;
  std::vector<rt::ArgValue> args;
} g_seen;

void recording_command(rt::ArgValue* result, int32_t count, rt::ArgValue* args) {
  g_seen.count = count;
  g_seen.result_before = *result;
  g_seen.args.assign(args, args + count);
  // The count sits right before the first argument.
  int32_t stored_count;
  std::memcpy(&stored_count, reinterpret_cast<uint8_t*>(args) - 4, 4);
  EXPECT_EQ(stored_count, count);
}

void text_returning_command(rt::ArgValue* result, int32_t, rt::ArgValue* args) {
  result->set_ref(rt::make_text(std::string(args[0].text()) + "!"));
}

TEST(CommandCall, null_text_and_byte_set_arrive_as_the_constant_empties) {
  rt::ArgValue text = rt::ArgValue::of_text(nullptr);
  rt::ArgValue bytes = rt::ArgValue::of_bytes(nullptr);
  rt::call_command(recording_command, {text, bytes, rt::ArgValue::of_int(5), rt::ArgValue()});
  ASSERT_EQ(g_seen.count, 4);
  EXPECT_EQ(g_seen.args[0].text(), rt::constant_empty_text());
  EXPECT_EQ(g_seen.args[1].block(), rt::constant_empty_bytes());
  EXPECT_EQ(g_seen.args[2].as_int(), 5);
  EXPECT_EQ(g_seen.args[3].tag, rt::tag::kNone);  // an omitted argument stays tag 0
}

TEST(CommandCall, result_starts_zeroed) {
  rt::call_command(recording_command, {});
  EXPECT_EQ(g_seen.count, 0);
  EXPECT_EQ(g_seen.result_before.low, 0u);
  EXPECT_EQ(g_seen.result_before.high, 0u);
  EXPECT_EQ(g_seen.result_before.tag, 0u);
}

TEST(CommandCall, returned_text_belongs_to_the_caller) {
  char argument[] = "hi";
  rt::ArgValue result = rt::call_command(text_returning_command, {rt::ArgValue::of_text(argument)});
  EXPECT_STREQ(result.text(), "hi!");
  EXPECT_STREQ(argument, "hi");  // arguments stay the caller's, untouched
  rt::release(result.text());
}

}  // namespace
