#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/testing/embedded_files.h"

// The stored inputs of the download library's fuzzers (seeds and every input
// that once made one fail), built into the tests. A name is
// "<fuzzer>/<file>": the folder names the fuzzer the input belongs to.
namespace downlib_fuzz {

extern const test_support::EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

}  // namespace downlib_fuzz
