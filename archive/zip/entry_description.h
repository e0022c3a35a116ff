#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_times.h"

namespace archive::zip {

// What listing an entry yields.
struct EntryDescription {
  int32_t index = 0;
  std::string name;  // as stored, "/" separators
  uint32_t attributes = 0;
  platform::FileTimes times;
  uint32_t compressed_size = 0;
  uint32_t uncompressed_size = 0;

  bool is_directory() const;
};

// Windows attributes from a central entry's external attributes, which hold
// MS-DOS attributes in the low byte and, from Unix archivers, the file's mode
// in the high half: normal, directory, archive, hidden, system, and read-only
// when the owner may not write or the MS-DOS bit says so.
uint32_t attributes_from_external(uint32_t external);

// An MS-DOS date and time (date in the high half) as a file time, taking its
// fields as UTC calendar fields; 0 when they are no valid time.
uint64_t file_time_from_dos(uint32_t dos_time);
// Seconds since 1970 (UTC) as a file time.
uint64_t file_time_from_unix(uint32_t unix_time);

// All three times from the MS-DOS time, then those that an extended
// timestamp block ("UT") in the local extra field gives: last write, last
// access, creation, each present when its flag bit (0, 1, 2) is set.
platform::FileTimes entry_times(uint32_t dos_time, const std::vector<uint8_t>& local_extra);

}  // namespace archive::zip
