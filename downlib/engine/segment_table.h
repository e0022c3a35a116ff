#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "downlib/task_state.h"

// The segments of a task's file. The first worker plans them once the size
// is known; workers take free segments, read into them and count what they
// have written. A worker that has nothing left to take may split the
// unfinished segment with the most bytes left: the new segment takes the
// second half of what its owner has not yet asked the network for, so the
// two never overlap.
//
// The table has its own lock: the controller hands out segments while
// workers take further ones and snapshots read them.
namespace downlib::engine {

class SegmentTable {
 public:
  // A split needs at least this many bytes left (twice the receive buffer).
  static constexpr int32_t kSmallestSplit = 40960;
  // Files below this size always have one segment.
  static constexpr int32_t kOneSegmentBelow = 4096;

  struct Assignment {
    int32_t index = -1;
    int32_t position = 0;  // start + done: where reading goes on
    int32_t end = 0;       // start + length, when the assignment was made
  };

  // Splits `total` bytes into `count` segments (one below 4096 bytes): each
  // gets total / count bytes, the last also the remainder.
  void plan(int32_t total, int32_t count);

  // The first segment without a worker that is not finished.
  std::optional<Assignment> take_free(int32_t worker, uint32_t thread_id);
  // Segment `index` whatever its state, unless another worker has it (the
  // first worker takes segment 0 so, even when it is empty).
  std::optional<Assignment> take_index(int32_t index, int32_t worker, uint32_t thread_id);
  // The segment that starts at `position`, when it has no worker and nothing done.
  std::optional<Assignment> take_at(int32_t position, int32_t worker, uint32_t thread_id);
  // A new segment split off the unfinished one with the most bytes left, at
  // least kSmallestSplit; it belongs to `worker` at once.
  std::optional<Assignment> split_largest(int32_t worker, uint32_t thread_id);
  // Records the worker that the controller handed the segment to.
  void set_owner(int32_t index, int32_t worker, uint32_t thread_id);
  // The worker gives the segment up (finished or not).
  void release(int32_t index);

  // What the segment at `position` is doing, for a worker that could go on
  // reading into it from its own connection.
  enum class Neighbour { None, Free, Busy, Working };
  Neighbour neighbour_at(int32_t position) const;
  // Whether another worker holds an unfinished segment it has asked no
  // bytes for yet: its open may still fail and give the segment back.
  bool held_unstarted() const;

  // Before a read: up to `want` bytes from `position` that the segment still
  // needs (0 when it needs none). The bytes up to position + the answer count
  // as asked for, so a split leaves them to this segment.
  int32_t claim(int32_t index, int32_t position, int32_t want);
  // After a write of `bytes` at the segment's current position.
  void add_done(int32_t index, int32_t bytes);
  int32_t end_of(int32_t index) const;
  bool complete(int32_t index) const;

  int32_t count() const;
  int64_t bytes_done() const;
  bool all_complete() const;
  // Copies the records (and capacity) into a snapshot.
  void fill(TaskSnapshot& snapshot) const;

 private:
  struct Segment {
    SegmentRecord record;
    int32_t asked_end = 0;  // the owner has asked the network for bytes up to here
  };
  Assignment assign(size_t index, int32_t worker, uint32_t thread_id);
  static int32_t capacity_for(size_t count) { return static_cast<int32_t>((count + 9) / 10 * 10); }

  mutable std::mutex m_mutex;
  std::vector<Segment> m_segments;
  int32_t m_capacity = 10;
};

}  // namespace downlib::engine
