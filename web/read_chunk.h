#pragma once

#include <cstdint>

namespace web {

inline constexpr uint32_t kUnknownLengthChunk = 10240;
inline constexpr uint32_t kLargestChunk = 102400;

// How much one read of a response body asks for, given the declared
// content length as text (null when the response declares none). A known
// length n gives n + 1, so a body of up to 102,399 bytes arrives in one read
// and the next read finds the end; larger bodies are read 102,400 bytes at a
// time. A length that is missing, not a number, 0 or negative gives 10,240.
uint32_t read_chunk_size(const char* content_length);

}  // namespace web
