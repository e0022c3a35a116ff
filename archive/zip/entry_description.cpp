#include "archive/zip/entry_description.h"

#include "archive/zip/little_endian.h"
#include "platform/file_attributes.h"

namespace archive::zip {
namespace {

constexpr uint32_t kUnixOwnerWrite = 0x00800000;  // 0200 in the mode in the high half
constexpr uint32_t kUnixDirectory = 0x40000000;   // 040000 in the mode in the high half
constexpr uint32_t kDosReadOnly = 0x01;
constexpr uint32_t kDosHidden = 0x02;
constexpr uint32_t kDosSystem = 0x04;
constexpr uint32_t kDosDirectory = 0x10;
constexpr uint32_t kDosArchive = 0x20;

constexpr uint16_t kExtendedTimestampId = 0x5455;  // "UT"

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar.
int64_t days_from_civil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<int64_t>(day_of_era) - 719468;
}

unsigned days_in_month(unsigned year, unsigned month) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

uint64_t file_time_from_seconds(int64_t seconds_since_1970) {
  return platform::kUnixEpochAsFileTime +
         static_cast<uint64_t>(seconds_since_1970 * static_cast<int64_t>(platform::kFileTimePerSecond));
}

}  // namespace

bool EntryDescription::is_directory() const { return (attributes & platform::kAttributeDirectory) != 0; }

uint32_t attributes_from_external(uint32_t external) {
  uint32_t attributes = platform::kAttributeNormal;
  if (external & (kUnixDirectory | kDosDirectory)) attributes |= platform::kAttributeDirectory;
  if (external & kDosArchive) attributes |= platform::kAttributeArchive;
  if (external & kDosHidden) attributes |= platform::kAttributeHidden;
  if (!(external & kUnixOwnerWrite) || (external & kDosReadOnly)) attributes |= platform::kAttributeReadOnly;
  if (external & kDosSystem) attributes |= platform::kAttributeSystem;
  return attributes;
}

uint64_t file_time_from_dos(uint32_t dos_time) {
  const unsigned date = dos_time >> 16;
  const unsigned time = dos_time & 0xFFFF;
  const unsigned year = 1980 + (date >> 9);
  const unsigned month = (date >> 5) & 0x0F;
  const unsigned day = date & 0x1F;
  const unsigned hour = time >> 11;
  const unsigned minute = (time >> 5) & 0x3F;
  const unsigned second = (time & 0x1F) * 2;
  if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month) || hour > 23 || minute > 59 || second > 59)
    return 0;
  const int64_t days = days_from_civil(year, month, day);
  return file_time_from_seconds(days * 86400 + hour * 3600 + minute * 60 + second);
}

uint64_t file_time_from_unix(uint32_t unix_time) { return file_time_from_seconds(int64_t{unix_time}); }

platform::FileTimes entry_times(uint32_t dos_time, const std::vector<uint8_t>& extra) {
  const uint64_t dos = file_time_from_dos(dos_time);
  platform::FileTimes times{dos, dos, dos};
  // A field too short for a block header and its flag byte is not examined.
  const size_t length = extra.size();
  if (length < 5) return times;

  size_t block = 0;
  while (block + 4 < length) {
    const uint16_t id = u16_at(&extra[block]);
    const size_t size = u16_at(&extra[block + 2]);
    if (id != kExtendedTimestampId) {
      block += 4 + size;
      continue;
    }
    // Each time is taken only when it lies inside both the block and the field.
    const size_t block_end = block + 4 + size < length ? block + 4 + size : length;
    const uint8_t flags = extra[block + 4];
    size_t at = block + 5;
    uint64_t* const targets[3] = {&times.last_write, &times.last_access, &times.creation};
    for (int bit = 0; bit < 3; ++bit) {
      if (!(flags & (1u << bit))) continue;
      if (at + 4 > block_end) break;
      *targets[bit] = file_time_from_unix(u32_at(&extra[at]));
      at += 4;
    }
    break;
  }
  return times;
}

}  // namespace archive::zip
