#include "runtime/commands/temp_file_name.h"

#include <cstdint>
#include <cstdio>
#include <mutex>

#include "platform/clock.h"
#include "platform/file_io.h"

namespace rt::commands {
namespace {

std::mutex g_lock;
uint32_t g_calls = 0;
bool g_any_given = false;
uint32_t g_last_given = 0;

std::string candidate(const std::string& directory, uint32_t number) {
  char name[16];
  std::snprintf(name, sizeof name, "%x.tmp", static_cast<unsigned>(number));
  return directory + name;
}

}  // namespace

std::string make_temp_file_name(const std::string& directory) {
  std::lock_guard lock(g_lock);
  uint32_t number = platform::tick_count() + g_calls++;
  // Numbers wrap at 32 bits; "not after the last one" is judged on the difference.
  if (g_any_given && static_cast<int32_t>(number - g_last_given) <= 0) number = g_last_given + 1;
  std::string path = candidate(directory, number);
  while (platform::path_exists(path)) path = candidate(directory, ++number);
  g_any_given = true;
  g_last_given = number;
  return path;
}

}  // namespace rt::commands
