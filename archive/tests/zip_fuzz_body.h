#pragma once

// One fuzz input run through the archive reader: opened from memory, every
// entry listed and extracted into a counting sink. Shared by the libFuzzer
// target and the test that replays the stored inputs in every build.
#include <cstddef>
#include <cstdint>
#include <string>

namespace zip_test {

struct FuzzRun {
  bool opened = false;
  uint32_t entries = 0;    // as the end record says
  uint32_t listed = 0;     // before the first entry that could not be listed
  uint32_t extracted = 0;  // entries whose content came out whole
  // What went wrong that never may; empty when nothing did.
  std::string broken;
};

FuzzRun run_fuzz_input(const uint8_t* data, size_t size);

}  // namespace zip_test
