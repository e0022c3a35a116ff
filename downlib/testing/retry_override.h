#pragma once

#include <cstdint>

// TEST-ONLY. Shortens the retries of tasks started from now on, so that
// tests of failing servers end in seconds instead of 999 x 5 s. Never called
// by the program; the environment variable UPDATER_TEST_RETRY="count,wait_ms"
// does the same for a program run as a child of a test.
namespace downlib::testing {

void set_retry_override(int32_t count, int32_t wait_ms);
void clear_retry_override();

}  // namespace downlib::testing
