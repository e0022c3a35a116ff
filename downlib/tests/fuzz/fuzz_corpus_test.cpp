#include "downlib/tests/fuzz/fuzz_corpus.h"

#include <gtest/gtest.h>

#include <string>

#include "downlib/tests/fuzz/fuzz_checks.h"

namespace {

using downlib_fuzz::kEmbeddedFileCount;
using downlib_fuzz::kEmbeddedFiles;

// Every stored input goes through the checks of its fuzzer, as the fuzzer
// would run it; an input in no known folder is a mistake in the tree.
TEST(DownlibFuzzCorpus, every_stored_input_passes_its_fuzzers_checks) {
  int checked[4] = {0, 0, 0, 0};
  for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
    const auto& input = kEmbeddedFiles[i];
    const std::string name = input.name;
    std::string problem;
    bool ok = false;
    if (name.rfind("response_header/", 0) == 0) {
      ok = downlib_fuzz::check_response_header(input.data, input.size, &problem);
      ++checked[0];
    } else if (name.rfind("url/", 0) == 0) {
      ok = downlib_fuzz::check_url(input.data, input.size, &problem);
      ++checked[1];
    } else if (name.rfind("state_value/", 0) == 0) {
      ok = downlib_fuzz::check_state_value(input.data, input.size, &problem);
      ++checked[2];
    } else if (name.rfind("ftp_reply/", 0) == 0) {
      ok = downlib_fuzz::check_ftp_reply(input.data, input.size, &problem);
      ++checked[3];
    } else {
      ADD_FAILURE() << name << ": no fuzzer of that name";
      continue;
    }
    EXPECT_TRUE(ok) << name << ": " << problem;
  }
  for (int count : checked) EXPECT_GT(count, 0) << "each fuzzer has stored inputs";
}

}  // namespace
