#include "web/read_chunk.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadChunk, declared_length_plus_one_capped_and_10240_when_unknown) {
  struct Case {
    const char* content_length;
    uint32_t chunk;
  };
  const Case cases[] = {
      {nullptr, 10240},
      {"", 10240},
      {"0", 10240},
      {"-5", 10240},
      {"abc", 10240},
      {"1", 2},
      {" 42", 43},
      {"42abc", 43},
      {"10240", 10241},
      {"102398", 102399},
      {"102399", 102400},
      {"102400", 102400},
      {"5000000", 102400},
      {"99999999999999999999", 102400},
      {"2147483647", 102400},
  };
  for (const Case& c : cases)
    EXPECT_EQ(web::read_chunk_size(c.content_length), c.chunk)
        << "content length " << (c.content_length ? c.content_length : "(none)");
}

}  // namespace
