// Throughput of ComputeMd5 against OpenSSL's MD5 on the same 256 MiB buffer.
//
// The reference is libcrypto's EVP_md5 called in this process (the code that
// `openssl md5` runs, without its file reading), so both sides digest the
// very same bytes from memory. Each side runs several times, interleaved,
// and the best time counts. Prints both throughputs and ours / OpenSSL's.
#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/md5/compute_md5.h"
#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/memory.h"

namespace {

constexpr uint32_t kSize = 256u << 20;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

// A byte set of kSize bytes of a cheap pseudo-random stream (splitmix64).
void* make_input() {
  void* block = rt::make_zero_bytes(kSize);
  uint8_t* data = static_cast<uint8_t*>(block) + 8;
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (uint32_t i = 0; i < kSize; i += 8) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    std::memcpy(data + i, &z, 8);
  }
  return block;
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string run_ours(void* block, double& seconds) {
  const auto start = Clock::now();
  const rt::ArgValue result = rt::call_command(archive::ComputeMd5, {rt::ArgValue::of_bytes(block)});
  seconds = seconds_since(start);
  std::string digest = result.text();
  rt::release(result.text());
  return digest;
}

std::string run_openssl(const uint8_t* data, double& seconds) {
  unsigned char digest[16];
  unsigned int size = 0;
  const auto start = Clock::now();
  EVP_Digest(data, kSize, digest, &size, EVP_md5(), nullptr);
  seconds = seconds_since(start);
  std::string hex;
  char pair[3];
  for (unsigned int i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", digest[i]);
    hex += pair;
  }
  return hex;
}

}  // namespace

int main() {
  void* block = make_input();
  const uint8_t* data = static_cast<const uint8_t*>(block) + 8;

  double best_ours = 1e9, best_openssl = 1e9;
  std::string ours, theirs;
  for (int round = 0; round < kRounds; ++round) {
    double s = 0;
    ours = run_ours(block, s);
    best_ours = std::min(best_ours, s);
    theirs = run_openssl(data, s);
    best_openssl = std::min(best_openssl, s);
  }
  rt::release(block);

  const double mib = kSize / double(1 << 20);
  std::printf("input:    %.0f MiB, best of %d runs each\n", mib, kRounds);
  std::printf("ComputeMd5:                  %6.1f MiB/s  %s\n", mib / best_ours, ours.c_str());
  std::printf("OpenSSL EVP_md5 (libcrypto): %6.1f MiB/s  %s\n", mib / best_openssl, theirs.c_str());
  std::printf("ratio ComputeMd5 / OpenSSL: %.3f\n", best_openssl / best_ours);
  if (ours != theirs) {
    std::printf("DIGESTS DIFFER\n");
    return 1;
  }
  return 0;
}
