#include "archive/md5/md5_digest.h"

#include <cstring>

namespace archive {
namespace {

// The block function is the hot loop of every package check: the rounds are
// written out in full so the chaining words stay in registers, and each
// message word is loaded once per block rather than assembled byte by byte.

#if defined(__GNUC__)
#define MD5_INLINE inline __attribute__((always_inline))
#else
#define MD5_INLINE inline
#endif

MD5_INLINE uint32_t rotate_left(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

MD5_INLINE uint32_t load_le32(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
#else
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
#endif
}

MD5_INLINE void store_le32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// The four round functions of RFC 1321 in forms with shorter dependency
// chains: F selects with one AND, G adds its two disjoint halves separately
// so the half that does not depend on the previous step starts early.
MD5_INLINE void step_f(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
  a += x + t + (d ^ (b & (c ^ d)));
  a = rotate_left(a, s) + b;
}
MD5_INLINE void step_g(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
  a += x + t + (c & ~d);
  a += b & d;
  a = rotate_left(a, s) + b;
}
MD5_INLINE void step_h(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
  a += x + t + (b ^ c ^ d);
  a = rotate_left(a, s) + b;
}
MD5_INLINE void step_i(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t, int s) {
  a += x + t + (c ^ (b | ~d));
  a = rotate_left(a, s) + b;
}

void process_blocks(uint32_t state[4], const uint8_t* data, size_t block_count) {
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; block_count > 0; --block_count, data += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = load_le32(data + 4 * i);
    const uint32_t aa = a, bb = b, cc = c, dd = d;

    step_f(a, b, c, d, x[0], 0xd76aa478, 7);
    step_f(d, a, b, c, x[1], 0xe8c7b756, 12);
    step_f(c, d, a, b, x[2], 0x242070db, 17);
    step_f(b, c, d, a, x[3], 0xc1bdceee, 22);
    step_f(a, b, c, d, x[4], 0xf57c0faf, 7);
    step_f(d, a, b, c, x[5], 0x4787c62a, 12);
    step_f(c, d, a, b, x[6], 0xa8304613, 17);
    step_f(b, c, d, a, x[7], 0xfd469501, 22);
    step_f(a, b, c, d, x[8], 0x698098d8, 7);
    step_f(d, a, b, c, x[9], 0x8b44f7af, 12);
    step_f(c, d, a, b, x[10], 0xffff5bb1, 17);
    step_f(b, c, d, a, x[11], 0x895cd7be, 22);
    step_f(a, b, c, d, x[12], 0x6b901122, 7);
    step_f(d, a, b, c, x[13], 0xfd987193, 12);
    step_f(c, d, a, b, x[14], 0xa679438e, 17);
    step_f(b, c, d, a, x[15], 0x49b40821, 22);

    step_g(a, b, c, d, x[1], 0xf61e2562, 5);
    step_g(d, a, b, c, x[6], 0xc040b340, 9);
    step_g(c, d, a, b, x[11], 0x265e5a51, 14);
    step_g(b, c, d, a, x[0], 0xe9b6c7aa, 20);
    step_g(a, b, c, d, x[5], 0xd62f105d, 5);
    step_g(d, a, b, c, x[10], 0x02441453, 9);
    step_g(c, d, a, b, x[15], 0xd8a1e681, 14);
    step_g(b, c, d, a, x[4], 0xe7d3fbc8, 20);
    step_g(a, b, c, d, x[9], 0x21e1cde6, 5);
    step_g(d, a, b, c, x[14], 0xc33707d6, 9);
    step_g(c, d, a, b, x[3], 0xf4d50d87, 14);
    step_g(b, c, d, a, x[8], 0x455a14ed, 20);
    step_g(a, b, c, d, x[13], 0xa9e3e905, 5);
    step_g(d, a, b, c, x[2], 0xfcefa3f8, 9);
    step_g(c, d, a, b, x[7], 0x676f02d9, 14);
    step_g(b, c, d, a, x[12], 0x8d2a4c8a, 20);

    step_h(a, b, c, d, x[5], 0xfffa3942, 4);
    step_h(d, a, b, c, x[8], 0x8771f681, 11);
    step_h(c, d, a, b, x[11], 0x6d9d6122, 16);
    step_h(b, c, d, a, x[14], 0xfde5380c, 23);
    step_h(a, b, c, d, x[1], 0xa4beea44, 4);
    step_h(d, a, b, c, x[4], 0x4bdecfa9, 11);
    step_h(c, d, a, b, x[7], 0xf6bb4b60, 16);
    step_h(b, c, d, a, x[10], 0xbebfbc70, 23);
    step_h(a, b, c, d, x[13], 0x289b7ec6, 4);
    step_h(d, a, b, c, x[0], 0xeaa127fa, 11);
    step_h(c, d, a, b, x[3], 0xd4ef3085, 16);
    step_h(b, c, d, a, x[6], 0x04881d05, 23);
    step_h(a, b, c, d, x[9], 0xd9d4d039, 4);
    step_h(d, a, b, c, x[12], 0xe6db99e5, 11);
    step_h(c, d, a, b, x[15], 0x1fa27cf8, 16);
    step_h(b, c, d, a, x[2], 0xc4ac5665, 23);

    step_i(a, b, c, d, x[0], 0xf4292244, 6);
    step_i(d, a, b, c, x[7], 0x432aff97, 10);
    step_i(c, d, a, b, x[14], 0xab9423a7, 15);
    step_i(b, c, d, a, x[5], 0xfc93a039, 21);
    step_i(a, b, c, d, x[12], 0x655b59c3, 6);
    step_i(d, a, b, c, x[3], 0x8f0ccc92, 10);
    step_i(c, d, a, b, x[10], 0xffeff47d, 15);
    step_i(b, c, d, a, x[1], 0x85845dd1, 21);
    step_i(a, b, c, d, x[8], 0x6fa87e4f, 6);
    step_i(d, a, b, c, x[15], 0xfe2ce6e0, 10);
    step_i(c, d, a, b, x[6], 0xa3014314, 15);
    step_i(b, c, d, a, x[13], 0x4e0811a1, 21);
    step_i(a, b, c, d, x[4], 0xf7537e82, 6);
    step_i(d, a, b, c, x[11], 0xbd3af235, 10);
    step_i(c, d, a, b, x[2], 0x2ad7d2bb, 15);
    step_i(b, c, d, a, x[9], 0xeb86d391, 21);

    a += aa;
    b += bb;
    c += cc;
    d += dd;
  }
  state[0] = a;
  state[1] = b;
  state[2] = c;
  state[3] = d;
}

}  // namespace

Md5Digest::Md5Digest() : m_state{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476}, m_bit_count{0, 0}, m_block{} {}

void Md5Digest::update(const uint8_t* data, size_t size) {
  if (size == 0) return;
  const size_t buffered = (m_bit_count[0] >> 3) & 63;
  const uint64_t bits = static_cast<uint64_t>(size) << 3;
  const auto bits_low = static_cast<uint32_t>(bits);
  m_bit_count[0] += bits_low;
  if (m_bit_count[0] < bits_low) ++m_bit_count[1];
  m_bit_count[1] += static_cast<uint32_t>(bits >> 32);

  size_t offset = 0;
  if (buffered > 0) {
    const size_t room = 64 - buffered;
    if (size < room) {
      std::memcpy(m_block + buffered, data, size);
      return;
    }
    std::memcpy(m_block + buffered, data, room);
    process_blocks(m_state, m_block, 1);
    offset = room;
  }
  const size_t whole = (size - offset) / 64;
  process_blocks(m_state, data + offset, whole);
  offset += whole * 64;
  if (offset < size) std::memcpy(m_block, data + offset, size - offset);
}

Md5Bytes Md5Digest::finish() {
  uint8_t count_bytes[8];
  store_le32(count_bytes, m_bit_count[0]);
  store_le32(count_bytes + 4, m_bit_count[1]);

  static constexpr uint8_t kPadding[64] = {0x80};
  const size_t buffered = (m_bit_count[0] >> 3) & 63;
  update(kPadding, buffered < 56 ? 56 - buffered : 120 - buffered);
  update(count_bytes, sizeof count_bytes);

  Md5Bytes digest;
  for (int i = 0; i < 4; ++i) store_le32(digest.data() + 4 * i, m_state[i]);
  return digest;
}

Md5Bytes md5_of(const uint8_t* data, size_t size) {
  Md5Digest digest;
  digest.update(data, size);
  return digest.finish();
}

std::array<char, 32> md5_hex(const Md5Bytes& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::array<char, 32> hex;
  for (size_t i = 0; i < digest.size(); ++i) {
    hex[2 * i] = kDigits[digest[i] >> 4];
    hex[2 * i + 1] = kDigits[digest[i] & 15];
  }
  return hex;
}

}  // namespace archive
