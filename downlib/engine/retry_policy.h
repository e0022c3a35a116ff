#pragma once

#include <cstdint>

// How often a worker opens again after a failure, and how long it waits
// first: 999 times, 5 seconds. Only tests shorten these, through
// downlib/testing/retry_override.h or, for tests that run a program as a
// child process, the environment variable UPDATER_TEST_RETRY="count,wait_ms"
// read when a task starts.
namespace downlib::engine {

inline constexpr int32_t kRetryCount = 999;
inline constexpr int32_t kRetryWaitMs = 5000;
// The figure the retry text shows ("等待%d秒后重试"); it stays 5 even when a
// test shortens the wait, so the texts are the same in every run.
inline constexpr int32_t kRetryWaitShownSeconds = 5;

struct RetryPolicy {
  int32_t count = kRetryCount;
  int32_t wait_ms = kRetryWaitMs;
};

// The policy for a task starting now.
RetryPolicy retry_policy_for_new_task();

}  // namespace downlib::engine
