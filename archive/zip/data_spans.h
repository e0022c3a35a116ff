#pragma once

#include <cstdint>
#include <vector>

#include "archive/zip/archive_source.h"
#include "archive/zip/end_record.h"

namespace archive::zip {

// Where the bytes of each entry lie, from its local header to the end of its
// data, and where the central directory lies. Every archiver writes them one
// after another; an entry whose bytes overlap another entry's or the
// directory is refused, because that is how a few kilobytes are made to
// unpack into gigabytes (an overlap bomb): many entries inflating one stream.
class DataSpans {
 public:
  // Walks the central directory as far as its entries can be read. An entry
  // whose local header cannot be read counts with its header alone; listing
  // fails on it anyway.
  static DataSpans survey(const ArchiveSource& source, const EndRecord& end);

  bool overlaps(uint32_t index) const { return index < m_overlapping.size() && m_overlapping[index]; }

 private:
  std::vector<bool> m_overlapping;
};

}  // namespace archive::zip
