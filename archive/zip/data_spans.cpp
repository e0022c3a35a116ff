#include "archive/zip/data_spans.h"

#include <algorithm>

#include "archive/zip/central_entry.h"
#include "archive/zip/little_endian.h"
#include "archive/zip/local_header.h"

namespace archive::zip {
namespace {

constexpr uint32_t kDirectory = UINT32_MAX;

struct Span {
  uint64_t begin;
  uint64_t end;  // past the last byte; always after begin
  uint32_t index;
};

// From the local header to the end of the data, as the local header gives
// the lengths of name and extra field.
Span entry_span(const ArchiveSource& source, const CentralEntry& entry, uint64_t bytes_before, uint32_t index) {
  const uint64_t begin = local_header_position(entry, bytes_before);
  uint8_t header[kLocalHeaderSize];
  if (!source.read_exact(begin, header, sizeof header).ok() || u32_at(header) != kLocalHeaderSignature)
    return {begin, begin + kLocalHeaderSize, index};
  const uint64_t name_length = u16_at(header + 26);
  const uint64_t extra_length = u16_at(header + 28);
  return {begin, begin + kLocalHeaderSize + name_length + extra_length + entry.compressed_size, index};
}

}  // namespace

DataSpans DataSpans::survey(const ArchiveSource& source, const EndRecord& end) {
  std::vector<Span> spans;
  spans.reserve(end.entry_count + 1);
  spans.push_back({end.directory_position(), end.position + kEndRecordSize + end.comment_length, kDirectory});
  uint64_t position = end.directory_position();
  for (uint32_t index = 0; index < end.entry_count; ++index) {
    const auto entry = read_central_entry(source, position);
    if (!entry) break;
    spans.push_back(entry_span(source, *entry, end.bytes_before, index));
    position = entry->next_position(position);
  }

  DataSpans result;
  result.m_overlapping.assign(spans.size() - 1, false);
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
  // In order of their beginnings, a span overlaps an earlier one when it
  // begins before the furthest end so far, and a later one when it ends
  // after the next beginning.
  uint64_t furthest_end = 0;
  for (size_t k = 0; k < spans.size(); ++k) {
    const Span& span = spans[k];
    const bool overlapping =
        (k > 0 && span.begin < furthest_end) || (k + 1 < spans.size() && span.end > spans[k + 1].begin);
    if (overlapping && span.index != kDirectory) result.m_overlapping[span.index] = true;
    furthest_end = std::max(furthest_end, span.end);
  }
  return result;
}

}  // namespace archive::zip
