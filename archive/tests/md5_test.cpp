#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/digest_library.h"
#include "archive/md5/compute_md5.h"
#include "archive/md5/md5_digest.h"
#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/memory.h"

namespace {

// Known answers from RFC 1321's test suite, and runs of "a" on either side of
// each padding boundary (56 bytes modulo 64), checked against md5sum.
struct KnownAnswer {
  std::string input;
  const char* digest;
};

std::vector<KnownAnswer> known_answers() {
  return {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
      {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
      {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
      {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
      {std::string(128, 'a'), "e510683b3f5ffe4093d021808bc6ff70"},
  };
}

// Runs the command the way the program does and takes the text it returns.
std::string compute_md5_of_block(const void* block) {
  const rt::ArgValue result = rt::call_command(archive::ComputeMd5, {rt::ArgValue::of_bytes(block)});
  std::string text = result.text() ? result.text() : "<null>";
  rt::release(result.text());
  return text;
}

std::string compute_md5(const std::string& input) {
  void* block = rt::make_bytes(input.data(), static_cast<uint32_t>(input.size()));
  std::string text = compute_md5_of_block(block);
  rt::release(block);
  return text;
}

TEST(ComputeMd5, known_answers_through_the_command) {
  for (const KnownAnswer& c : known_answers())
    EXPECT_EQ(compute_md5(c.input), c.digest) << "input of " << c.input.size() << " bytes: \"" << c.input << "\"";
}

TEST(ComputeMd5, known_answers_fed_in_two_pieces_split_at_every_offset) {
  for (const KnownAnswer& c : known_answers()) {
    const auto* data = reinterpret_cast<const uint8_t*>(c.input.data());
    for (size_t split = 0; split <= c.input.size(); ++split) {
      archive::Md5Digest digest;
      digest.update(data, split);
      digest.update(data + split, c.input.size() - split);
      const auto hex = archive::md5_hex(digest.finish());
      EXPECT_EQ(std::string(hex.begin(), hex.end()), c.digest) << c.input.size() << " bytes split at " << split;
    }
  }
}

TEST(ComputeMd5, empty_byte_sets_give_the_digest_of_no_bytes) {
  const char* kEmpty = "d41d8cd98f00b204e9800998ecf8427e";
  // What the caller passes for an empty variable: the constant empty block.
  EXPECT_EQ(compute_md5_of_block(nullptr), kEmpty) << "constant empty byte set";
  // A block that declares length 0 on the heap.
  void* zero_length = rt::allocate(8);
  const int32_t header[2] = {1, 0};
  std::memcpy(zero_length, header, sizeof header);
  EXPECT_EQ(compute_md5_of_block(zero_length), kEmpty) << "heap block of length 0";
  rt::release(zero_length);

  // A null reference that bypassed the caller's convention, and a call with
  // no argument at all: neither may be read through.
  rt::ArgValue null_bytes = rt::ArgValue::of_bytes(nullptr);
  for (int32_t count : {1, 0}) {
    rt::ArgValue result;
    archive::ComputeMd5(&result, count, &null_bytes);
    ASSERT_NE(result.text(), nullptr) << "argument count " << count;
    EXPECT_STREQ(result.text(), kEmpty) << "argument count " << count;
    rt::release(result.text());
  }
}

TEST(ComputeMd5, result_is_a_33_byte_text_with_leading_zeros_kept) {
  // 0x00 and 0x04 are the sixth and eighth bytes of this digest.
  const rt::ArgValue result = rt::call_command(archive::ComputeMd5, {rt::ArgValue::of_bytes(nullptr)});
  EXPECT_EQ(result.tag, rt::tag::kText);
  ASSERT_NE(result.text(), nullptr);
  EXPECT_EQ(std::strlen(result.text()), 32u);
  EXPECT_EQ(std::string(result.text()).substr(10, 2), "00");
  EXPECT_EQ(std::string(result.text()).substr(14, 2), "04");
  rt::release(result.text());

  for (int n = 0; n < 300; ++n) {
    const std::string input(static_cast<size_t>(n), static_cast<char>(n));
    EXPECT_EQ(compute_md5(input).find_first_not_of("0123456789abcdef"), std::string::npos) << n << " bytes";
    EXPECT_EQ(compute_md5(input).size(), 32u) << n << " bytes";
  }
}

TEST(DigestLibrary, record_holds_the_one_command_and_notify_answers_only_start) {
  const rt::SupportLibrary& library = archive::kDigestLibrary;
  ASSERT_EQ(library.command_count, 1);
  EXPECT_EQ(library.commands[0], &archive::ComputeMd5);
  EXPECT_STREQ(library.name, "数据操作支持库一");

  struct Case {
    int32_t code;
    int32_t answer;
  };
  for (const Case& c : {Case{1, 0}, Case{6, -1}, Case{8, -1}, Case{2, -1}, Case{0, -1}})
    EXPECT_EQ(library.notify(c.code, 0, 0), c.answer) << "code " << c.code;
}

}  // namespace
