#pragma once

// Archives built by the tests, byte by byte, so that each can carry exactly
// the fault or feature a test is about.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zip_test {

inline constexpr uint32_t kUnixFile = 0100644u << 16;
inline constexpr uint32_t kUnixReadOnlyFile = 0100444u << 16;
inline constexpr uint32_t kUnixDirectory = (040755u << 16) | 0x10;

// An MS-DOS date and time as the central entry stores it (date in the high half).
uint32_t dos_time(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second);

struct TestEntry {
  std::string name{};  // GBK bytes, as stored
  std::string content{};
  uint16_t method = 8;  // 8 deflated, 0 stored; anything else is stored under that number
  bool data_descriptor = false;
  uint32_t external = kUnixFile;
  uint32_t dos = dos_time(2021, 6, 15, 10, 30, 20);
  std::string local_extra{};
  // Faults: values that differ from the truth.
  std::optional<uint32_t> declared_crc{};
  std::optional<uint32_t> declared_size{};        // uncompressed, in both headers
  std::optional<uint16_t> local_method{};         // in the local header only
  std::optional<uint32_t> local_crc{};            // in the local header only
  std::optional<uint16_t> local_name_length{};    // in the local header only
  std::optional<size_t> share_local_header_of{};  // an earlier entry's local header and data
};

struct TestArchive {
  std::vector<TestEntry> entries{};
  std::string prefix{};  // bytes before the archive; stored offsets do not count them
  std::string comment{};
  uint16_t disk = 0;
  std::optional<uint16_t> entries_on_disk{};
};

std::string build_archive(const TestArchive& archive);
inline std::string build_zip(const std::vector<TestEntry>& entries) { return build_archive(TestArchive{entries}); }

// An extended timestamp block ("UT") with a last-write time and optionally
// the last-access and creation times.
std::string ut_block(uint32_t mtime, std::optional<uint32_t> atime = {}, std::optional<uint32_t> ctime = {});

std::string raw_deflate(const std::string& content);
uint32_t crc_of(const std::string& content);

// Content that compresses like text, and content that does not compress.
std::string text_content(size_t size, uint32_t seed = 1);
std::string random_content(size_t size, uint32_t seed = 1);

}  // namespace zip_test
