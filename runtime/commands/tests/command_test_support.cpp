#include "runtime/commands/tests/command_test_support.h"

#include <gtest/gtest.h>

#include <memory>

#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/commands/kernel_commands.h"
#include "runtime/memory.h"

namespace kernel_test {
namespace {

struct BlockRelease {
  void operator()(void* block) const { rt::release(block); }
};
std::vector<std::unique_ptr<void, BlockRelease>>& argument_blocks() {
  static std::vector<std::unique_ptr<void, BlockRelease>> blocks;
  return blocks;
}

}  // namespace

rt::ArgValue call(Slot slot, std::initializer_list<rt::ArgValue> args) {
  return rt::call_command(rt::kKernelCommands[slot], args);
}

rt::ArgValue bytes(const std::string& value) {
  void* block = rt::make_bytes(value.data(), static_cast<uint32_t>(value.size()));
  argument_blocks().emplace_back(block);
  return rt::ArgValue::of_bytes(block);
}

std::string take_text(const rt::ArgValue& result) {
  EXPECT_EQ(result.tag, rt::tag::kText);
  char* text = result.text();
  if (!text) return {};
  std::string copy = text;
  EXPECT_FALSE(copy.empty()) << "an empty text must come back as null";
  rt::release(text);
  return copy;
}

std::string take_bytes(const rt::ArgValue& result) {
  EXPECT_EQ(result.tag, rt::tag::kBytes);
  void* block = result.block();
  if (!block) return {};
  const rt::BytesView view = rt::bytes_of(block);
  EXPECT_GT(view.size, 0u) << "an empty byte set must come back as null";
  std::string copy(view.as_text_view());
  rt::release(block);
  return copy;
}

std::vector<std::string> take_text_array(const rt::ArgValue& result) {
  EXPECT_EQ(result.tag, rt::tag::kText | rt::tag::kArrayFlag);
  std::vector<std::string> members;
  void* block = result.block();
  EXPECT_NE(block, nullptr) << "an array result is always a block";
  if (!block) return members;
  const rt::ArrayView array = rt::array_of(block);
  EXPECT_EQ(array.dimension_count, 1u);
  for (uint32_t i = 0; i < array.element_count; ++i) {
    const char* member = static_cast<const char*>(rt::array_ref_at(array, i));
    EXPECT_TRUE(!member || *member) << "member " << i << ": an empty text must be null";
    members.emplace_back(member ? member : "");
  }
  rt::release_array(block, rt::tag::kText);
  return members;
}

std::string call_text(Slot slot, std::initializer_list<rt::ArgValue> args) { return take_text(call(slot, args)); }
std::string call_bytes(Slot slot, std::initializer_list<rt::ArgValue> args) { return take_bytes(call(slot, args)); }
int32_t call_int(Slot slot, std::initializer_list<rt::ArgValue> args) { return call(slot, args).as_int(); }
bool call_bool(Slot slot, std::initializer_list<rt::ArgValue> args) {
  const rt::ArgValue result = call(slot, args);
  EXPECT_EQ(result.tag, rt::tag::kBool);
  return result.as_bool();
}

}  // namespace kernel_test
