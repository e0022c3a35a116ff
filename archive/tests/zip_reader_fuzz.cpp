// libFuzzer entry point for the archive reader: any bytes must open or not,
// list and extract entry by entry without a crash, a read outside the input
// or more content than an entry declares (see zip_fuzz_body.cpp).
#include <cstddef>
#include <cstdint>

#include "archive/tests/zip_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const zip_test::FuzzRun run = zip_test::run_fuzz_input(data, size);
  if (!run.broken.empty()) __builtin_trap();
  return 0;
}
