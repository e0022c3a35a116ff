#include "downlib/task_state.h"

#include <algorithm>
#include <cstring>

namespace downlib {
namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kRecordSize = 28;
constexpr size_t kTailSize = 108;  // protocol block, streaming fields, total size
constexpr size_t kCrcSize = 2;

// Slots of the protocol block's first part, in words from its start.
enum TextSlot : size_t {
  kProxySlot = 0,
  kTargetSlot = 1,
  kHostSlot = 2,
  kRefererSlot = 3,
  kAgentSlot = 4,
  kCookieSlot = 6
};

void put32(std::vector<uint8_t>& out, size_t at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
  out[at + 2] = static_cast<uint8_t>(v >> 16);
  out[at + 3] = static_cast<uint8_t>(v >> 24);
}

int32_t get32(const uint8_t* data, size_t at) {
  return static_cast<int32_t>(uint32_t{data[at]} | uint32_t{data[at + 1]} << 8 | uint32_t{data[at + 2]} << 16 |
                              uint32_t{data[at + 3]} << 24);
}

size_t text_area_start(size_t capacity) { return kHeaderSize + kRecordSize * capacity + kTailSize; }

// One entry per byte value: the eight reflected steps of the polynomial.
struct CrcTable {
  uint16_t entries[256];
  constexpr CrcTable() : entries() {
    for (uint32_t byte = 0; byte < 256; ++byte) {
      uint32_t crc = byte;
      for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
      entries[byte] = static_cast<uint16_t>(crc);
    }
  }
};
constexpr CrcTable kCrcTable;

}  // namespace

uint16_t crc16_arc(const uint8_t* data, size_t size) {
  uint16_t crc = 0;
  for (size_t i = 0; i < size; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ kCrcTable.entries[(crc ^ data[i]) & 0xFF]);
  return crc;
}

std::vector<uint8_t> encode_task_state(const TaskSnapshot& s) {
  const size_t capacity = std::max<size_t>(static_cast<size_t>(std::max(s.capacity, 0)), s.segments.size());
  std::vector<uint8_t> out(text_area_start(capacity), 0);
  const size_t texts = s.host.size() + s.request_target.size() + s.referer.size() + s.user_agent.size() +
                       (s.cookie_line ? s.cookie_line->size() : 0) + 5;
  out.reserve(out.size() + texts + kCrcSize);  // one allocation for the whole state
  put32(out, 0, static_cast<int32_t>(s.segments.size()));
  put32(out, 4, static_cast<int32_t>(capacity));
  put32(out, 8, s.total_size);
  for (size_t i = 0; i < s.segments.size(); ++i) {
    const SegmentRecord& r = s.segments[i];
    const size_t at = kHeaderSize + kRecordSize * i;
    const int32_t words[7] = {r.in_use, r.split, r.thread_id, r.start, r.length, r.done, r.worker};
    for (size_t w = 0; w < 7; ++w) put32(out, at + 4 * w, words[w]);
  }
  const size_t block = kHeaderSize + kRecordSize * capacity;
  const int32_t numbers[6] = {s.protocol, s.port, s.address, s.thread_count, s.speed_limit, s.retries};
  for (size_t w = 0; w < 6; ++w) put32(out, block + 28 + 4 * w, numbers[w]);
  put32(out, block + 104, s.total_size);

  const auto add_text = [&](TextSlot slot, const std::string& text) {
    put32(out, block + 4 * slot, static_cast<int32_t>(out.size()));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
  };
  add_text(kHostSlot, s.host);
  add_text(kTargetSlot, s.request_target);
  add_text(kRefererSlot, s.referer);
  add_text(kAgentSlot, s.user_agent);
  if (s.cookie_line) add_text(kCookieSlot, *s.cookie_line);

  const uint16_t crc = crc16_arc(out.data(), out.size());
  out.push_back(static_cast<uint8_t>(crc));
  out.push_back(static_cast<uint8_t>(crc >> 8));
  return out;
}

namespace {

// Whether the segment records are copied out. StateValue, called at every
// Received event of a download, reads the one it needs in place and so
// allocates nothing.
enum class Records { Copy, LeaveInPlace };

std::optional<DecodedTaskState> decode(const uint8_t* data, size_t size, Records records) {
  if (!data || size < kHeaderSize + kTailSize + kCrcSize) return std::nullopt;
  const uint16_t stored = static_cast<uint16_t>(data[size - 2] | data[size - 1] << 8);
  if (crc16_arc(data, size - kCrcSize) != stored) return std::nullopt;

  DecodedTaskState state;
  state.count = get32(data, 0);
  state.capacity = get32(data, 4);
  state.total_size = get32(data, 8);
  if (state.capacity < 0 || state.count < 0 || state.count > state.capacity) return std::nullopt;
  // In 64 bits a capacity of up to 2^31 cannot wrap the sum.
  const uint64_t texts =
      uint64_t{kHeaderSize} + uint64_t{kRecordSize} * static_cast<uint64_t>(state.capacity) + kTailSize;
  const size_t text_end = size - kCrcSize;
  if (texts > text_end) return std::nullopt;

  if (records == Records::Copy) state.segments.resize(static_cast<size_t>(state.count));
  for (size_t i = 0; i < state.segments.size(); ++i) {
    const size_t at = kHeaderSize + kRecordSize * i;
    SegmentRecord& r = state.segments[i];
    r = {get32(data, at),      get32(data, at + 4),  get32(data, at + 8), get32(data, at + 12),
         get32(data, at + 16), get32(data, at + 20), get32(data, at + 24)};
  }

  const size_t block = kHeaderSize + kRecordSize * static_cast<size_t>(state.capacity);
  const auto read_text = [&](TextSlot slot, std::string_view* out) {
    const auto offset = static_cast<uint32_t>(get32(data, block + 4 * slot));
    if (offset == 0) return true;
    if (offset < texts || offset >= text_end) return false;
    const auto* begin = reinterpret_cast<const char*>(data + offset);
    const void* zero = std::memchr(begin, 0, text_end - offset);
    if (!zero) return false;
    *out = std::string_view(begin, static_cast<size_t>(static_cast<const char*>(zero) - begin));
    return true;
  };
  if (!read_text(kHostSlot, &state.host) || !read_text(kTargetSlot, &state.request_target) ||
      !read_text(kRefererSlot, &state.referer) || !read_text(kAgentSlot, &state.user_agent) ||
      !read_text(kCookieSlot, &state.cookie_line))
    return std::nullopt;
  return state;
}

// A word of segment record `i` (from 0) of a decoded snapshot, read in place.
enum RecordWord : size_t { kStartWord = 3, kLengthWord = 4, kDoneWord = 5 };
int32_t record_word(const uint8_t* data, size_t i, RecordWord word) {
  return get32(data, kHeaderSize + kRecordSize * i + 4 * word);
}

}  // namespace

std::optional<DecodedTaskState> decode_task_state(const uint8_t* data, size_t size) {
  return decode(data, size, Records::Copy);
}

int32_t state_value(const uint8_t* data, size_t size, int32_t kind, int32_t index) {
  if (kind < 1 || kind > 6) return -1;
  const auto state = decode(data, size, Records::LeaveInPlace);
  if (!state) return -1;
  switch (kind) {
    case 1: return state->total_size;
    case 2: {
      uint32_t done = 0;  // wraps like the 32-bit sum it is
      for (size_t i = 0; i < static_cast<size_t>(state->count); ++i)
        done += static_cast<uint32_t>(record_word(data, i, kDoneWord));
      return static_cast<int32_t>(done);
    }
    case 3: return state->count;
    default: break;
  }
  if (index < 1 || index > state->count) return -1;
  const size_t i = static_cast<size_t>(index - 1);
  return record_word(data, i, kind == 4 ? kStartWord : kind == 5 ? kLengthWord : kDoneWord);
}

}  // namespace downlib
