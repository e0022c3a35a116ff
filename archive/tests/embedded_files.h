#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/testing/embedded_files.h"

// The archives kept as test data (data/), the fuzzer's seeds (fuzz_corpus/)
// and the inputs that once made it fail (fuzz_regressions/), built into the tests.
namespace zip_test {

using test_support::EmbeddedFile;

extern const EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

// The bytes of "folder/file"; a missing file fails the test that asks.
std::string embedded(const std::string& name);
// Every file of a folder.
std::vector<EmbeddedFile> embedded_folder(const std::string& folder);

}  // namespace zip_test
