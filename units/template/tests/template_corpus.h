#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/testing/embedded_files.h"

// The stored inputs of the template reader's fuzzer (the seed corpus and every
// input that once made it fail), built into the tests.
namespace template_test {

extern const test_support::EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

}  // namespace template_test
