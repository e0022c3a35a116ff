// libFuzzer entry point: see fuzz_checks.h for what is checked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "downlib/tests/fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string problem;
  if (!downlib_fuzz::check_ftp_reply(data, size, &problem)) __builtin_trap();
  return 0;
}
