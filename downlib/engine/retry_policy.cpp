#include "downlib/engine/retry_policy.h"

#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>

#include "downlib/mystrlib/text.h"
#include "downlib/testing/retry_override.h"

namespace downlib {
namespace {

std::mutex g_mutex;
std::optional<engine::RetryPolicy> g_override;

// "count,wait_ms", both plain decimals.
std::optional<engine::RetryPolicy> from_environment() {
  const char* value = std::getenv("UPDATER_TEST_RETRY");
  if (!value) return std::nullopt;
  const std::string_view text(value);
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto count = mystrlib::decimal_value(text.substr(0, comma), engine::kRetryCount);
  const auto wait = mystrlib::decimal_value(text.substr(comma + 1), engine::kRetryWaitMs);
  if (!count || !wait) return std::nullopt;
  return engine::RetryPolicy{static_cast<int32_t>(*count), static_cast<int32_t>(*wait)};
}

}  // namespace

namespace testing {

void set_retry_override(int32_t count, int32_t wait_ms) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_override = engine::RetryPolicy{count, wait_ms};
}

void clear_retry_override() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_override.reset();
}

}  // namespace testing

namespace engine {

RetryPolicy retry_policy_for_new_task() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_override) return *g_override;
  }
  return from_environment().value_or(RetryPolicy{});
}

}  // namespace engine
}  // namespace downlib
