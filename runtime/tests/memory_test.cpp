#include "runtime/memory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/blocks.h"
#include "runtime/constant_area.h"

namespace {

alignas(8) const uint8_t kArea[] = {RT_CONSTANT_AREA_PREFIX, 'h', 'e', 'l', 'l', 'o', 0, 'x', 0};
const char* const kHello = reinterpret_cast<const char*>(kArea + 12);

class ConstantArea : public ::testing::Test {
 protected:
  void SetUp() override { rt::set_constant_area(kArea, sizeof kArea); }
  void TearDown() override { rt::set_constant_area(nullptr, 0); }
};

TEST_F(ConstantArea, free_of_null_and_of_constant_blocks_does_nothing) {
  rt::release(nullptr);
  rt::release(const_cast<char*>(kHello));
  rt::release(const_cast<void*>(rt::constant_empty_bytes()));
  EXPECT_STREQ(kHello, "hello");
}

TEST_F(ConstantArea, resize_copies_a_constant_text_into_a_heap_block) {
  auto* grown = static_cast<char*>(rt::resize(const_cast<char*>(kHello), 100));
  ASSERT_NE(grown, kHello);
  EXPECT_FALSE(rt::in_constant_area(grown));
  EXPECT_EQ(std::memcmp(grown, "hello", 6), 0);
  rt::release(grown);
}

TEST_F(ConstantArea, resize_never_reads_past_the_end_of_the_area) {
  // "x\0" are the last two bytes: a resize to 64 may copy only those.
  auto* grown = static_cast<char*>(rt::resize(const_cast<uint8_t*>(kArea + sizeof kArea - 2), 64));
  EXPECT_STREQ(grown, "x");
  rt::release(grown);
}

TEST_F(ConstantArea, empties_come_from_the_start_of_the_area) {
  EXPECT_EQ(static_cast<const void*>(rt::constant_empty_text()), static_cast<const void*>(kArea));
  EXPECT_EQ(rt::constant_empty_bytes(), static_cast<const void*>(kArea + 4));
  EXPECT_EQ(rt::bytes_of(rt::constant_empty_bytes()).size, 0u);
}

TEST(Memory, empties_exist_without_a_constant_area) {
  rt::set_constant_area(nullptr, 0);
  EXPECT_STREQ(rt::constant_empty_text(), "");
  EXPECT_TRUE(rt::in_constant_area(rt::constant_empty_text()));
  const int32_t* words = static_cast<const int32_t*>(rt::constant_empty_bytes());
  EXPECT_EQ(words[0], 1);
  EXPECT_EQ(words[1], 0);
}

TEST(Memory, resize_of_null_allocates_and_heap_blocks_grow_keeping_content) {
  auto* block = static_cast<char*>(rt::resize(nullptr, 4));
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(rt::resize(block, 4096));
  EXPECT_STREQ(block, "abc");
  rt::release(block);
}

TEST(Memory, array_of_texts_is_freed_element_by_element) {
  void* array = rt::make_array(3, rt::element_size(rt::tag::kText));
  const rt::ArrayView view = rt::array_of(array);
  ASSERT_EQ(view.element_count, 3u);
  rt::set_array_ref_at(view, 0, rt::make_text("one"));
  rt::set_array_ref_at(view, 2, rt::make_text("three"));  // element 1 stays null
  EXPECT_STREQ(static_cast<char*>(rt::array_ref_at(view, 2)), "three");
  rt::release_array(array, rt::tag::kText);  // the sanitizer build sees any leak or double free
}

TEST(Blocks, empty_texts_and_byte_sets_are_null_references) {
  EXPECT_EQ(rt::make_text(""), nullptr);
  EXPECT_EQ(rt::make_bytes("", 0), nullptr);
  EXPECT_EQ(rt::make_zero_bytes(0), nullptr);
  EXPECT_EQ(rt::bytes_of(nullptr).size, 0u);
}

TEST(Blocks, byte_set_block_is_one_dimension_length_then_bytes) {
  void* block = rt::make_bytes("\x01\x02\x03", 3);
  int32_t header[2];
  std::memcpy(header, block, sizeof header);
  EXPECT_EQ(header[0], 1);
  EXPECT_EQ(header[1], 3);
  const rt::BytesView view = rt::bytes_of(block);
  EXPECT_EQ(view.data, static_cast<uint8_t*>(block) + 8);
  EXPECT_EQ(view.as_text_view(), std::string_view("\x01\x02\x03", 3));
  rt::release(block);
}

TEST(ArgValue, classes_of_type_tags) {
  struct Case {
    rt::TypeTag tag;
    rt::TagClass expected;
  } cases[] = {
      {0, rt::TagClass::None},
      {rt::tag::kInt, rt::TagClass::System},
      {rt::tag::kText | rt::tag::kArrayFlag, rt::TagClass::System},  // arrays of system types stay system
      {0x40000001, rt::TagClass::Reserved},
      {0xC0000001, rt::TagClass::Library},
      {rt::tag::unit(0, 0), rt::TagClass::Library},
      {rt::tag::unit(1, 3), rt::TagClass::Library},
  };
  for (const Case& c : cases)
    EXPECT_EQ(rt::classify(c.tag), c.expected) << "tag 0x" << std::hex << c.tag;
  EXPECT_EQ(rt::tag::unit(1, 0), 0x00020001u);
  EXPECT_EQ(rt::tag::unit(1, 3), 0x00020004u);
  EXPECT_EQ(rt::tag::unit(0, 20), 0x00010015u);
}

TEST(ArgValue, references_use_both_payload_words_where_pointers_are_wide) {
  char text[] = "abc";
  const rt::ArgValue value = rt::ArgValue::of_text(text);
  EXPECT_EQ(value.text(), text);
  EXPECT_EQ(value.tag, rt::tag::kText);
  EXPECT_EQ(rt::ArgValue::of_double(2.5).as_double(), 2.5);
  EXPECT_EQ(rt::ArgValue::of_int64(-5000000000LL).as_int64(), -5000000000LL);
}

}  // namespace
