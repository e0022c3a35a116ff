// Attributes and times of an entry description.
#include "archive/zip/entry_description.h"

#include <gtest/gtest.h>

#include "archive/tests/zip_builder.h"
#include "platform/file_attributes.h"

namespace zip_test {
namespace {

using namespace archive::zip;

constexpr uint64_t kSecond = 10000000;
constexpr uint64_t kEpoch = 116444736000000000ull;  // 1970-01-01 as a file time
uint64_t at(uint64_t unix_seconds) { return kEpoch + unix_seconds * kSecond; }

TEST(EntryDescription, attributes_come_from_dos_bits_and_the_unix_owner_write_bit) {
  struct Case {
    uint32_t external;
    uint32_t expected;
  };
  const Case cases[] = {
      {0100644u << 16, 0x80},           // rw-r--r--
      {0100444u << 16, 0x81},           // r--r--r--
      {0100200u << 16, 0x80},           // -w-------
      {0040755u << 16, 0x90},           // a Unix directory
      {(0040755u << 16) | 0x10, 0x90},  // and MS-DOS says so too
      {0x10, 0x91},                     // MS-DOS alone: no Unix mode, so no owner write
      {0x20, 0xA1},                     // archive
      {(0100644u << 16) | 0x01, 0x81},  // MS-DOS read-only
      {(0100644u << 16) | 0x02, 0x82},  // hidden
      {(0100644u << 16) | 0x04, 0x84},  // system
      {(0100644u << 16) | 0x27, 0xA7},  // all of them
      {0, 0x81},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(attributes_from_external(c.external), c.expected) << std::hex << "external 0x" << c.external;
  }
}

TEST(EntryDescription, dos_times_are_calendar_fields_and_invalid_ones_give_no_time) {
  struct Case {
    uint32_t dos;
    uint64_t expected;
  };
  const Case cases[] = {
      {dos_time(2021, 6, 15, 10, 30, 20), at(1623753020)},
      {dos_time(1980, 1, 1, 0, 0, 0), at(315532800)},
      {dos_time(2020, 2, 29, 23, 59, 58), at(1583020798)},
      {dos_time(2107, 12, 31, 23, 59, 58), at(4354819198ull)},
      {dos_time(2021, 6, 15, 10, 30, 21), at(1623753020)},  // two-second steps
      {dos_time(2021, 0, 15, 10, 30, 20), 0},               // month 0
      {dos_time(2021, 13, 15, 10, 30, 20), 0},
      {dos_time(2021, 6, 0, 10, 30, 20), 0},
      {dos_time(2021, 2, 29, 10, 30, 20), 0},  // not a leap year
      {dos_time(2100, 2, 29, 10, 30, 20), 0},
      {dos_time(2021, 4, 31, 10, 30, 20), 0},
      {dos_time(2021, 6, 15, 24, 0, 0), 0},
      {dos_time(2021, 6, 15, 10, 60, 0), 0},
      {(dos_time(2021, 6, 15, 10, 30, 0) & ~0x1Fu) | 30, 0},  // 60 seconds
      {0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(file_time_from_dos(c.dos), c.expected) << std::hex << "dos 0x" << c.dos;
}

TEST(EntryDescription, an_extended_timestamp_block_overrides_the_times_it_carries) {
  const uint32_t dos = dos_time(2021, 6, 15, 10, 30, 20);
  const uint64_t d = file_time_from_dos(dos);
  struct Case {
    const char* what;
    std::string extra;
    platform::FileTimes expected;  // creation, last access, last write
  };
  std::string cut_block = ut_block(1600000000, 1600000100, 1500000000);
  cut_block[2] = 5;  // its size covers the flags and one time only
  std::string unknown_then_ut = std::string("ab\x03\x00xyz", 7) + ut_block(1600000000, 1600000100);
  std::string runaway = std::string("ab\xFF\x00", 4) + ut_block(1600000000);
  const Case cases[] = {
      {"no extra field", "", {d, d, d}},
      {"last write only", ut_block(1600000000), {d, d, at(1600000000)}},
      {"all three", ut_block(1600000000, 1600000100, 1500000000), {at(1500000000), at(1600000100), at(1600000000)}},
      {"after another block", unknown_then_ut, {d, at(1600000100), at(1600000000)}},
      {"times the block does not hold", cut_block, {d, d, at(1600000000)}},
      {"a block that runs past the field hides what follows", runaway, {d, d, d}},
      {"a field of four bytes", ut_block(1600000000).substr(0, 4), {d, d, d}},
      {"a block cut inside its first time", ut_block(1600000000).substr(0, 7), {d, d, d}},
      {"a time after 2038", ut_block(0xF0000000u), {d, d, at(0xF0000000ull)}},
  };
  for (const Case& c : cases) {
    const platform::FileTimes times = entry_times(dos, std::vector<uint8_t>(c.extra.begin(), c.extra.end()));
    EXPECT_EQ(times.creation, c.expected.creation) << c.what;
    EXPECT_EQ(times.last_access, c.expected.last_access) << c.what;
    EXPECT_EQ(times.last_write, c.expected.last_write) << c.what;
  }
}

}  // namespace
}  // namespace zip_test
