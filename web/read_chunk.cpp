#include "web/read_chunk.h"

#include <cstdlib>

namespace web {

uint32_t read_chunk_size(const char* content_length) {
  // Read like atoi (leading blanks, a sign, digits, anything after ignored),
  // but without atoi's undefined overflow: a huge length only hits the cap.
  const long long length = content_length ? std::strtoll(content_length, nullptr, 10) : 0;
  if (length <= 0) return kUnknownLengthChunk;
  return length >= kLargestChunk ? kLargestChunk : static_cast<uint32_t>(length) + 1;
}

}  // namespace web
