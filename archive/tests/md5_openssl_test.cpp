#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <vector>

#include "archive/md5/md5_digest.h"

// Our digest against OpenSSL's on inputs drawn at random, fed in random
// pieces, so block boundaries fall everywhere.
namespace {

archive::Md5Bytes openssl_md5(const std::vector<uint8_t>& data) {
  archive::Md5Bytes digest{};
  unsigned int size = 0;
  EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest.data(), &size, EVP_md5(), nullptr), 1);
  EXPECT_EQ(size, 16u);
  return digest;
}

std::string hex(const archive::Md5Bytes& digest) {
  const auto h = archive::md5_hex(digest);
  return std::string(h.begin(), h.end());
}

TEST(Md5AgainstOpenssl, random_inputs_fed_in_random_pieces) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 400; ++round) {
    const size_t size = round < 200 ? random() % 300 : random() % 70000;
    std::vector<uint8_t> data(size);
    for (auto& b : data) b = static_cast<uint8_t>(random());

    archive::Md5Digest digest;
    size_t fed = 0;
    while (fed < size) {
      const size_t piece = std::min<size_t>(size - fed, random() % 200);
      digest.update(data.data() + fed, piece);
      fed += piece;
    }
    const archive::Md5Bytes ours = digest.finish();
    EXPECT_EQ(hex(ours), hex(openssl_md5(data))) << "round " << round << ", " << size << " bytes";
    EXPECT_EQ(hex(archive::md5_of(data.data(), data.size())), hex(ours)) << "round " << round << " in one piece";
  }
}

// Past 512 MiB the bit count no longer fits its low word; the carry must
// reach the high word that the padding encodes.
TEST(Md5AgainstOpenssl, bit_count_carries_into_its_high_word) {
  std::vector<uint8_t> chunk(1 << 20);
  std::mt19937 random(7);
  for (auto& b : chunk) b = static_cast<uint8_t>(random());
  const size_t chunks = 513;

  archive::Md5Digest ours;
  EVP_MD_CTX* theirs = EVP_MD_CTX_new();
  ASSERT_EQ(EVP_DigestInit_ex(theirs, EVP_md5(), nullptr), 1);
  for (size_t i = 0; i < chunks; ++i) {
    // An odd-sized piece first keeps the block buffer busy across the carry.
    ours.update(chunk.data(), 3);
    ours.update(chunk.data() + 3, chunk.size() - 3);
    EVP_DigestUpdate(theirs, chunk.data(), chunk.size());
  }
  archive::Md5Bytes expected{};
  unsigned int size = 0;
  EVP_DigestFinal_ex(theirs, expected.data(), &size);
  EVP_MD_CTX_free(theirs);
  EXPECT_EQ(hex(ours.finish()), hex(expected));
}

}  // namespace
