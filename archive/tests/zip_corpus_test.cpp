// The fuzzer's stored inputs and the hostile archives, replayed in every build.
#include <gtest/gtest.h>

#include <string>

#include "archive/tests/embedded_files.h"
#include "archive/tests/zip_fuzz_body.h"

namespace zip_test {
namespace {

// Seeds named valid_* open and give every entry whole; bad_* do not. Every
// input runs without breaking what must hold.
TEST(ZipCorpus, every_stored_input_reads_or_fails_cleanly) {
  ASSERT_GT(kEmbeddedFileCount, 0u);
  size_t valid = 0;
  for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
    const EmbeddedFile& file = kEmbeddedFiles[i];
    const std::string name = file.name;
    const FuzzRun run = run_fuzz_input(file.data, file.size);
    EXPECT_EQ(run.broken, "") << name;
    if (name.find("/valid_") != std::string::npos) {
      ++valid;
      EXPECT_TRUE(run.opened) << name;
      EXPECT_GT(run.entries, 0u) << name;
      EXPECT_EQ(run.extracted, run.entries) << name;
    }
    if (name.find("/bad_") != std::string::npos) {
      EXPECT_FALSE(run.opened && run.extracted == run.entries) << name << ": came out whole";
    }
  }
  EXPECT_GE(valid, 5u);
}

}  // namespace
}  // namespace zip_test
