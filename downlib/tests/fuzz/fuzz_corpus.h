#pragma once

#include <cstddef>
#include <cstdint>

// The stored inputs of the download library's fuzzers (seeds and every input
// that once made one fail), built into the tests. A name is
// "<fuzzer>/<file>": the folder names the fuzzer the input belongs to.
namespace downlib_fuzz {

struct CorpusInput {
  const char* name;
  const uint8_t* data;
  size_t size;
};

extern const CorpusInput kCorpusInputs[];
extern const size_t kCorpusInputCount;

}  // namespace downlib_fuzz
