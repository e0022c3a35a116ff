#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// TaskState: the snapshot of a task that GetState hands out and StateValue
// reads. Little-endian, K = segment capacity:
//
//   0           count, K, total size, reserved
//   16          K segment records of seven words (records past the count are 0)
//   16+28K      seven words: proxy (always 0), offsets of the request target,
//               host, referer and user agent, reserved, offset of the cookie line
//   44+28K      six words: protocol, port, resolved address, thread count,
//               speed limit, retries made
//   68+28K      16 + 36 bytes for streaming, all 0
//   120+28K     total size again
//   124+28K     the texts, zero-terminated: host, request target, referer,
//               user agent, cookie line (absent texts are left out, offset 0)
//   end - 2     CRC-16/ARC of everything before it
//
// Offsets count from the start of the byte set's data.
namespace downlib {

struct SegmentRecord {
  int32_t in_use = 0;
  int32_t split = 0;
  int32_t thread_id = 0;
  int32_t start = 0;
  int32_t length = 0;
  int32_t done = 0;
  int32_t worker = 0;  // the owning worker's number, 0 for none
};

struct TaskSnapshot {
  int32_t total_size = 0;
  int32_t capacity = 0;  // at least segments.size()
  std::vector<SegmentRecord> segments;
  std::string host, request_target, referer, user_agent;
  std::optional<std::string> cookie_line;
  int32_t protocol = 0, port = 0, address = 0, thread_count = 0, speed_limit = 0, retries = 0;
};

std::vector<uint8_t> encode_task_state(const TaskSnapshot& snapshot);

// A snapshot read back. Fails (nothing) when the CRC does not match, when the
// layout does not fit the bytes, or when a text offset points outside the
// text area or to a text without its terminating zero.
struct DecodedTaskState {
  int32_t count = 0;
  int32_t capacity = 0;
  int32_t total_size = 0;
  std::vector<SegmentRecord> segments;  // the first `count` records
  std::string_view host, request_target, referer, user_agent, cookie_line;
};
std::optional<DecodedTaskState> decode_task_state(const uint8_t* data, size_t size);

// What StateValue answers: kind 1 total size, 2 bytes done over all
// segments, 3 segment count, 4/5/6 start, length and bytes done of segment
// `index` (from 1). -1 for a snapshot that does not decode, another kind, or
// an index outside 1..count.
int32_t state_value(const uint8_t* data, size_t size, int32_t kind, int32_t index);

// CRC-16/ARC: reflected polynomial 0xA001, initial value 0, no final XOR.
uint16_t crc16_arc(const uint8_t* data, size_t size);

}  // namespace downlib
