#include "downlib/engine/segment_table.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using downlib::engine::SegmentTable;

std::vector<std::pair<int32_t, int32_t>> plan_of(int32_t total, int32_t count) {
  SegmentTable table;
  table.plan(total, count);
  downlib::TaskSnapshot snapshot;
  table.fill(snapshot);
  std::vector<std::pair<int32_t, int32_t>> plan;
  for (const auto& r : snapshot.segments) plan.emplace_back(r.start, r.length);
  return plan;
}

TEST(SegmentTable, plans_split_evenly_with_the_remainder_last) {
  using Plan = std::vector<std::pair<int32_t, int32_t>>;
  EXPECT_EQ(plan_of(100000, 3), (Plan{{0, 33333}, {33333, 33333}, {66666, 33334}}));
  EXPECT_EQ(plan_of(100000, 4), (Plan{{0, 25000}, {25000, 25000}, {50000, 25000}, {75000, 25000}}));
  EXPECT_EQ(plan_of(4095, 4), (Plan{{0, 4095}})) << "below 4096 bytes: one segment";
  EXPECT_EQ(plan_of(4096, 4), (Plan{{0, 1024}, {1024, 1024}, {2048, 1024}, {3072, 1024}}));
  EXPECT_EQ(plan_of(0, 8), (Plan{{0, 0}}));
}

TEST(SegmentTable, capacity_is_a_multiple_of_ten) {
  for (int32_t count : {1, 9, 10, 11, 64}) {
    SegmentTable table;
    table.plan(10000000, count);
    downlib::TaskSnapshot snapshot;
    table.fill(snapshot);
    EXPECT_EQ(snapshot.capacity, std::max(10, (count + 9) / 10 * 10)) << count;
  }
}

TEST(SegmentTable, free_segments_are_taken_in_order_and_once) {
  SegmentTable table;
  table.plan(100000, 3);
  EXPECT_EQ(table.take_free(1, 0)->index, 0);
  EXPECT_EQ(table.take_free(2, 0)->index, 1);
  EXPECT_EQ(table.take_free(3, 0)->index, 2);
  EXPECT_FALSE(table.take_free(4, 0));
  table.release(1);
  const auto again = table.take_free(5, 0);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->index, 1) << "a released unfinished segment is free again";
}

// The split takes the second half of what the owner has not asked for yet,
// so the bytes a worker is reading stay with its segment.
TEST(SegmentTable, split_leaves_claimed_bytes_to_the_owner) {
  SegmentTable table;
  table.plan(200000, 2);
  const auto a = table.take_free(1, 0);
  const auto b = table.take_free(2, 0);
  ASSERT_TRUE(a && b);
  // Worker 1 has written 20000 bytes and asked for 20480 more.
  EXPECT_EQ(table.claim(a->index, 0, 20000), 20000);
  table.add_done(a->index, 20000);
  EXPECT_EQ(table.claim(a->index, 20000, 20480), 20480);
  // Worker 2 has done nothing: its segment has the most left (100000).
  const auto split = table.split_largest(3, 0);
  ASSERT_TRUE(split);
  EXPECT_EQ(split->position, 150000);
  EXPECT_EQ(split->end, 200000);
  EXPECT_EQ(table.end_of(b->index), 150000);
  // Next: segment 0 has 100000 - 40480 = 59520 left after its claim.
  const auto second = table.split_largest(4, 0);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->position, 100000 - 29760);
  EXPECT_EQ(table.end_of(a->index), 100000 - 29760);
  EXPECT_GE(table.end_of(a->index), 40480) << "nothing asked for is given away";
  downlib::TaskSnapshot snapshot;
  table.fill(snapshot);
  EXPECT_EQ(snapshot.segments[0].split, 1);
  EXPECT_EQ(snapshot.segments[1].split, 1);
  const int32_t total = std::accumulate(snapshot.segments.begin(), snapshot.segments.end(), 0,
                                        [](int32_t sum, const auto& r) { return sum + r.length; });
  EXPECT_EQ(total, 200000) << "the segments still cover the file exactly";
}

TEST(SegmentTable, no_split_below_40960_bytes_left) {
  SegmentTable table;
  table.plan(81918, 2);  // 40959 each
  table.take_free(1, 0);
  table.take_free(2, 0);
  EXPECT_FALSE(table.split_largest(3, 0));
  SegmentTable larger;
  larger.plan(81920, 2);  // 40960 each
  larger.take_free(1, 0);
  larger.take_free(2, 0);
  EXPECT_TRUE(larger.split_largest(3, 0));
}

TEST(SegmentTable, claims_stop_at_the_segment_end) {
  SegmentTable table;
  table.plan(50000, 2);
  const auto a = table.take_free(1, 0);
  EXPECT_EQ(table.claim(a->index, 0, 20480), 20480);
  EXPECT_EQ(table.claim(a->index, 20480, 20480), 4520);
  EXPECT_EQ(table.claim(a->index, 25000, 20480), 0);
  table.add_done(a->index, 25000);
  EXPECT_TRUE(table.complete(a->index));
  EXPECT_FALSE(table.all_complete());
  EXPECT_EQ(table.bytes_done(), 25000);
}

TEST(SegmentTable, neighbour_of_a_position) {
  SegmentTable table;
  table.plan(100000, 2);
  table.take_free(1, 0);
  EXPECT_EQ(table.neighbour_at(50000), SegmentTable::Neighbour::Free);
  const auto b = table.take_free(2, 0);
  EXPECT_EQ(table.neighbour_at(50000), SegmentTable::Neighbour::Busy) << "owned, nothing asked for yet";
  table.claim(b->index, 50000, 100);
  EXPECT_EQ(table.neighbour_at(50000), SegmentTable::Neighbour::Working);
  EXPECT_EQ(table.neighbour_at(12345), SegmentTable::Neighbour::None);
  EXPECT_EQ(table.take_at(50000, 3, 0), std::nullopt) << "an owned segment is not taken";
}

}  // namespace
