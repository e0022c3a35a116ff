#include "units/template/property_block.h"

#include <gtest/gtest.h>

namespace {

using units::PropertyBlockReader;
using units::PropertyBlockWriter;

std::vector<uint8_t> sample_block() {
  PropertyBlockWriter w;
  w.u32(2);
  w.u16(0x2A);
  w.bytes(std::string("\x01\x00\x02", 3));
  w.text("标题");
  w.u32(0xFF000000);
  return w.take();
}

TEST(PropertyBlock, writer_lays_fields_out_little_endian_with_counted_lengths) {
  PropertyBlockWriter w;
  w.u32(0x01020304);
  w.u16(0x0506);
  w.bytes(std::string("\x07\x00", 2));
  w.text("ab");
  w.text("");
  EXPECT_EQ(w.take(), (std::vector<uint8_t>{4, 3, 2, 1, 6, 5, 2, 0, 0, 0, 7, 0, 2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0}));
}

TEST(PropertyBlock, reader_gives_back_what_the_writer_wrote) {
  const auto block = sample_block();
  PropertyBlockReader r(block.data(), static_cast<uint32_t>(block.size()));
  EXPECT_EQ(r.u32(), 2u);
  EXPECT_EQ(r.u16(), 0x2A);
  EXPECT_EQ(r.bytes(), std::string("\x01\x00\x02", 3));
  EXPECT_EQ(r.text(), "标题");
  EXPECT_EQ(r.u32(), 0xFF000000u);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.remaining(), 0u);
}

// Cut at every length, the same reads must fail from the first field that no
// longer fits and read as zero or empty afterwards, never past the block.
TEST(PropertyBlock, a_short_block_fails_at_every_cut) {
  const auto block = sample_block();
  for (size_t length = 0; length < block.size(); ++length) {
    std::vector<uint8_t> prefix(block.begin(), block.begin() + length);
    PropertyBlockReader r(prefix.empty() ? nullptr : prefix.data(), static_cast<uint32_t>(length));
    r.u32();
    r.u16();
    r.bytes();
    r.text();
    const uint32_t last = r.u32();
    EXPECT_FALSE(r.ok()) << "cut at " << length;
    EXPECT_EQ(last, 0u) << "cut at " << length;
    EXPECT_EQ(r.text(), "") << "cut at " << length << ": a read after the failure";
  }
}

TEST(PropertyBlock, a_counted_length_beyond_the_block_fails_without_moving_on) {
  PropertyBlockWriter w;
  w.u32(0xFFFFFFF0);
  w.u32(7);
  const auto block = w.take();
  PropertyBlockReader r(block.data(), static_cast<uint32_t>(block.size()));
  EXPECT_EQ(r.bytes(), "");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.u32(), 0u);
}

}  // namespace
