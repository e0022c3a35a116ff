#pragma once

#include <cstdint>
#include <optional>
#include <string>

// File times as Windows counts them: 100-nanosecond intervals since
// 1 January 1601 UTC. A time of 0 is left unchanged when times are set.
// Natively the creation time is not kept: it reads back as 0.
namespace platform {

struct FileTimes {
  uint64_t creation = 0;
  uint64_t last_access = 0;
  uint64_t last_write = 0;
};

// 1 January 1970 in that count, and the count per second.
inline constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
inline constexpr uint64_t kFileTimePerSecond = 10000000ull;

std::optional<FileTimes> file_times(const std::string& path);

}  // namespace platform
