#include "units/template/tests/template_corpus.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "units/template/template_registry.h"

namespace {

using template_test::kEmbeddedFileCount;
using template_test::kEmbeddedFiles;

uint32_t first_word(const uint8_t* data, size_t size) {
  uint32_t word = 0;
  if (size >= 4) std::memcpy(&word, data, 4);
  return word;
}

// Seeds named valid_* must read and bad_* must not; every input must either read or fail
// with an error inside the input. A read registry must hold what its window
// table announced, each window with its own entry.
TEST(TemplateCorpus, every_stored_fuzz_input_reads_or_fails_cleanly) {
  ASSERT_GT(kEmbeddedFileCount, 0u);
  for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
    const auto& input = kEmbeddedFiles[i];
    const std::string name = input.name;
    std::vector<uint8_t> copy(input.data, input.data + input.size);
    units::TemplateReadError error{};
    auto registry = units::TemplateRegistry::read(copy.empty() ? nullptr : copy.data(),
                                                  static_cast<uint32_t>(copy.size()), 0x10000, &error);
    if (name.find("/valid_") != std::string::npos) {
      EXPECT_TRUE(registry) << name << ": " << error.what << " at " << error.offset;
    }
    if (name.find("/bad_") != std::string::npos) {
      EXPECT_FALSE(registry) << name << ": accepted";
    }
    if (!registry) {
      EXPECT_FALSE(error.what.empty()) << name;
      EXPECT_LE(error.offset, copy.size()) << name;
      continue;
    }
    EXPECT_EQ(registry->size(), first_word(input.data, input.size) / 8) << name;
    for (auto& window : registry->windows()) {
      EXPECT_FALSE(window->entries.empty()) << name;
      for (const units::UnitEntry& entry : window->entries) EXPECT_LE(entry.properties.size(), copy.size()) << name;
    }
  }
}

}  // namespace
