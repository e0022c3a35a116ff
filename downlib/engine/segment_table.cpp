#include "downlib/engine/segment_table.h"

#include <algorithm>

namespace downlib::engine {
namespace {

bool finished(const SegmentRecord& r) { return r.done >= r.length; }

}  // namespace

void SegmentTable::plan(int32_t total, int32_t count) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (total < kOneSegmentBelow || count < 1) count = 1;
  const int32_t each = total / count;
  m_segments.assign(static_cast<size_t>(count), Segment{});
  for (int32_t i = 0; i < count; ++i) {
    SegmentRecord& r = m_segments[static_cast<size_t>(i)].record;
    r.start = each * i;
    r.length = i + 1 == count ? total - each * i : each;
    m_segments[static_cast<size_t>(i)].asked_end = r.start;
  }
  m_capacity = std::max(10, capacity_for(m_segments.size()));
}

SegmentTable::Assignment SegmentTable::assign(size_t index, int32_t worker, uint32_t thread_id) {
  Segment& s = m_segments[index];
  s.record.in_use = 1;
  s.record.worker = worker;
  s.record.thread_id = static_cast<int32_t>(thread_id);
  s.asked_end = s.record.start + s.record.done;
  return {static_cast<int32_t>(index), s.asked_end, s.record.start + s.record.length};
}

std::optional<SegmentTable::Assignment> SegmentTable::take_free(int32_t worker, uint32_t thread_id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (size_t i = 0; i < m_segments.size(); ++i) {
    const SegmentRecord& r = m_segments[i].record;
    if (!r.in_use && !finished(r)) return assign(i, worker, thread_id);
  }
  return std::nullopt;
}

std::optional<SegmentTable::Assignment> SegmentTable::take_index(int32_t index, int32_t worker, uint32_t thread_id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index < 0 || static_cast<size_t>(index) >= m_segments.size() ||
      m_segments[static_cast<size_t>(index)].record.in_use)
    return std::nullopt;
  return assign(static_cast<size_t>(index), worker, thread_id);
}

std::optional<SegmentTable::Assignment> SegmentTable::take_at(int32_t position, int32_t worker, uint32_t thread_id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (size_t i = 0; i < m_segments.size(); ++i) {
    const SegmentRecord& r = m_segments[i].record;
    if (r.start == position && r.length > 0 && !r.in_use && r.done == 0) return assign(i, worker, thread_id);
  }
  return std::nullopt;
}

std::optional<SegmentTable::Assignment> SegmentTable::split_largest(int32_t worker, uint32_t thread_id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  size_t largest = m_segments.size();
  int32_t most = 0;
  for (size_t i = 0; i < m_segments.size(); ++i) {
    const Segment& s = m_segments[i];
    if (finished(s.record)) continue;
    const int32_t left = s.record.start + s.record.length - std::max(s.asked_end, s.record.start + s.record.done);
    if (left > most) {
      most = left;
      largest = i;
    }
  }
  if (largest == m_segments.size() || most < kSmallestSplit) return std::nullopt;

  Segment& old = m_segments[largest];
  const int32_t taken = most / 2;
  Segment added;
  added.record.start = old.record.start + old.record.length - taken;
  added.record.length = taken;
  added.asked_end = added.record.start;
  old.record.length -= taken;
  old.record.split = 1;
  m_segments.push_back(added);
  if (static_cast<int32_t>(m_segments.size()) > m_capacity) m_capacity = capacity_for(m_segments.size());
  return assign(m_segments.size() - 1, worker, thread_id);
}

void SegmentTable::set_owner(int32_t index, int32_t worker, uint32_t thread_id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index < 0 || static_cast<size_t>(index) >= m_segments.size()) return;
  m_segments[static_cast<size_t>(index)].record.worker = worker;
  m_segments[static_cast<size_t>(index)].record.thread_id = static_cast<int32_t>(thread_id);
}

void SegmentTable::release(int32_t index) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (index < 0 || static_cast<size_t>(index) >= m_segments.size()) return;
  Segment& s = m_segments[static_cast<size_t>(index)];
  s.record.in_use = 0;
  s.record.worker = 0;
  s.record.thread_id = 0;
  s.asked_end = s.record.start + s.record.done;
}

SegmentTable::Neighbour SegmentTable::neighbour_at(int32_t position) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const Segment& s : m_segments) {
    const SegmentRecord& r = s.record;
    if (r.start != position || r.length == 0) continue;
    if (!r.in_use) return r.done == 0 ? Neighbour::Free : Neighbour::None;
    // An owner that has asked for nothing yet may still find that ranges fail.
    return s.asked_end > r.start || r.done > 0 ? Neighbour::Working : Neighbour::Busy;
  }
  return Neighbour::None;
}

bool SegmentTable::held_unstarted() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return std::any_of(m_segments.begin(), m_segments.end(), [](const Segment& s) {
    return s.record.in_use && !finished(s.record) && s.asked_end <= s.record.start && s.record.done == 0;
  });
}

int32_t SegmentTable::claim(int32_t index, int32_t position, int32_t want) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Segment& s = m_segments[static_cast<size_t>(index)];
  const int32_t end = s.record.start + s.record.length;
  const int32_t allowed = std::max(0, std::min(want, end - position));
  s.asked_end = std::max(s.asked_end, position + allowed);
  return allowed;
}

void SegmentTable::add_done(int32_t index, int32_t bytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_segments[static_cast<size_t>(index)].record.done += bytes;
}

int32_t SegmentTable::end_of(int32_t index) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  const SegmentRecord& r = m_segments[static_cast<size_t>(index)].record;
  return r.start + r.length;
}

bool SegmentTable::complete(int32_t index) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return finished(m_segments[static_cast<size_t>(index)].record);
}

int32_t SegmentTable::count() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return static_cast<int32_t>(m_segments.size());
}

int64_t SegmentTable::bytes_done() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  int64_t done = 0;
  for (const Segment& s : m_segments) done += s.record.done;
  return done;
}

bool SegmentTable::all_complete() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_segments.empty()) return false;
  return std::all_of(m_segments.begin(), m_segments.end(), [](const Segment& s) { return finished(s.record); });
}

void SegmentTable::fill(TaskSnapshot& snapshot) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  snapshot.capacity = m_capacity;
  snapshot.segments.clear();
  snapshot.segments.reserve(m_segments.size());
  for (const Segment& s : m_segments) snapshot.segments.push_back(s.record);
}

}  // namespace downlib::engine
