#include "downlib/task_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using downlib::SegmentRecord;
using downlib::TaskSnapshot;

TaskSnapshot three_segments() {
  TaskSnapshot s;
  s.total_size = 100000;
  s.capacity = 10;
  s.segments = {{1, 0, 77, 0, 33333, 1000, 1}, {1, 0, 78, 33333, 33333, 2000, 2}, {0, 0, 0, 66666, 33334, 3000, 0}};
  s.host = "127.0.0.1:8080";
  s.request_target = "/dir/a.zip";
  s.referer = "http://127.0.0.1:8080/dir";
  s.user_agent = "agent";
  return s;
}

TEST(TaskState, crc_is_crc16_arc) {
  const char* check = "123456789";
  EXPECT_EQ(downlib::crc16_arc(reinterpret_cast<const uint8_t*>(check), 9), 0xBB3D);
  EXPECT_EQ(downlib::crc16_arc(nullptr, 0), 0);
}

TEST(TaskState, layout_offsets_and_texts) {
  const auto bytes = downlib::encode_task_state(three_segments());
  const size_t k = 10;
  // header, records, protocol block, streaming, total, texts, CRC
  const std::string texts =
      std::string("127.0.0.1:8080") + '\0' + "/dir/a.zip" + '\0' + "http://127.0.0.1:8080/dir" + '\0' + "agent" + '\0';
  ASSERT_EQ(bytes.size(), 124 + 28 * k + texts.size() + 2);
  int32_t word = 0;
  std::memcpy(&word, bytes.data() + 4, 4);
  EXPECT_EQ(word, 10);
  std::memcpy(&word, bytes.data() + 120 + 28 * k, 4);
  EXPECT_EQ(word, 100000) << "the total size again before the texts";
  std::memcpy(&word, bytes.data() + 16 + 28 * k + 8, 4);  // host slot
  EXPECT_EQ(static_cast<size_t>(word), 124 + 28 * k) << "the host is the first text";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 124 + 28 * k), texts.size()), texts);
  std::memcpy(&word, bytes.data() + 16 + 28 * k + 24, 4);  // cookie slot
  EXPECT_EQ(word, 0) << "an absent cookie line has no offset";

  const auto decoded = downlib::decode_task_state(bytes.data(), bytes.size());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->host, "127.0.0.1:8080");
  EXPECT_EQ(decoded->request_target, "/dir/a.zip");
  EXPECT_EQ(decoded->referer, "http://127.0.0.1:8080/dir");
  EXPECT_EQ(decoded->cookie_line, "");
}

TEST(TaskState, state_values_by_kind_and_index) {
  const auto bytes = downlib::encode_task_state(three_segments());
  struct Case {
    int32_t kind, index, expected;
  };
  const Case cases[] = {
      {1, 0, 100000}, {2, 0, 6000}, {3, 0, 3},  {4, 1, 0},  {5, 1, 33333}, {6, 1, 1000}, {4, 3, 66666},
      {5, 3, 33334},  {6, 3, 3000}, {4, 0, -1}, {4, 4, -1}, {6, -1, -1},   {0, 0, -1},   {7, 1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(downlib::state_value(bytes.data(), bytes.size(), c.kind, c.index), c.expected)
        << "kind " << c.kind << ", index " << c.index;
  }
}

TEST(TaskState, corrupt_or_cut_snapshots_give_minus_one) {
  const auto good = downlib::encode_task_state(three_segments());
  EXPECT_EQ(downlib::state_value(nullptr, 0, 1, 0), -1);
  for (size_t cut = 0; cut < good.size(); ++cut)
    EXPECT_EQ(downlib::state_value(good.data(), cut, 1, 0), -1) << "cut at " << cut;
  for (size_t at : {size_t{0}, size_t{9}, good.size() / 2, good.size() - 1}) {
    auto bad = good;
    bad[at] ^= 0x40;
    EXPECT_EQ(downlib::state_value(bad.data(), bad.size(), 1, 0), -1) << "flipped byte " << at;
  }
}

// Snapshots whose CRC is right but whose layout lies: the decoder refuses
// them instead of reading outside the bytes.
TEST(TaskState, consistent_crc_over_a_lying_layout_is_refused) {
  const auto fix_crc = [](std::vector<uint8_t>& b) {
    const uint16_t crc = downlib::crc16_arc(b.data(), b.size() - 2);
    b[b.size() - 2] = static_cast<uint8_t>(crc);
    b[b.size() - 1] = static_cast<uint8_t>(crc >> 8);
  };
  const auto good = downlib::encode_task_state(three_segments());
  const auto set_word = [](std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); };
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
  };
  const Case cases[] = {
      {"count above capacity", 0, 11},
      {"negative count", 0, 0xFFFFFFFF},
      {"capacity past the end", 4, 1000},
      {"huge capacity", 4, 0x7FFFFFFF},
      {"host offset past the end", 16 + 280 + 8, 100000},
      {"host offset inside the records", 16 + 280 + 8, 20},
  };
  for (const Case& c : cases) {
    auto bad = good;
    set_word(bad, c.at, c.value);
    fix_crc(bad);
    EXPECT_FALSE(downlib::decode_task_state(bad.data(), bad.size())) << c.what;
    EXPECT_EQ(downlib::state_value(bad.data(), bad.size(), 3, 0), -1) << c.what;
  }
}

// More than 2048 bytes (64 segments, long texts) still reads, bounds-checked.
TEST(TaskState, large_snapshots_read_safely) {
  TaskSnapshot s;
  s.total_size = 6400000;
  s.capacity = 70;
  for (int32_t i = 0; i < 64; ++i) s.segments.push_back({1, 0, 0, i * 100000, 100000, 50, i + 1});
  s.request_target = std::string(1023, 'p');
  s.referer = std::string(1024, 'r');
  const auto bytes = downlib::encode_task_state(s);
  ASSERT_GT(bytes.size(), 2048u);
  EXPECT_EQ(downlib::state_value(bytes.data(), bytes.size(), 3, 0), 64);
  EXPECT_EQ(downlib::state_value(bytes.data(), bytes.size(), 2, 0), 64 * 50);
  EXPECT_EQ(downlib::state_value(bytes.data(), bytes.size(), 4, 64), 6300000);
}

}  // namespace
