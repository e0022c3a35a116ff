#pragma once

#include <cstddef>
#include <cstdint>

// The stored inputs of the template reader's fuzzer (the seed corpus and every
// input that once made it fail), built into the tests.
namespace template_test {

struct CorpusInput {
  const char* name;  // folder/file
  const uint8_t* data;
  size_t size;
};

extern const CorpusInput kCorpusInputs[];
extern const size_t kCorpusInputCount;

}  // namespace template_test
