#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// MD5 as published in RFC 1321, fed in pieces. The state is small enough to
// live on the caller's stack for the duration of one digest.
namespace archive {

using Md5Bytes = std::array<uint8_t, 16>;

class Md5Digest {
 public:
  Md5Digest();

  void update(const uint8_t* data, size_t size);
  // Pads, appends the bit count and gives the digest; the object is spent afterwards.
  Md5Bytes finish();

 private:
  uint32_t m_state[4];
  uint32_t m_bit_count[2];  // low word first; the carry goes into the high word
  uint8_t m_block[64];
};

Md5Bytes md5_of(const uint8_t* data, size_t size);

// Two lowercase hexadecimal digits per digest byte, in digest byte order.
std::array<char, 32> md5_hex(const Md5Bytes& digest);

}  // namespace archive
