// The FTP block a task is created with: host, port, credentials, the
// decoded path and the transfer type, from the URL and the task parameters.

#include "downlib/ftp/ftp_block.h"

#include <gtest/gtest.h>

#include "downlib/url.h"

namespace {

using downlib::ftp::FtpBlock;
using downlib::ftp::FtpParameters;
using downlib::ftp::TransferType;

std::optional<FtpBlock> block_of(const std::string& url, const FtpParameters& parameters = {}) {
  const auto parts = downlib::recognise_url(url);
  if (!parts || parts->protocol != downlib::Protocol::Ftp) return std::nullopt;
  return downlib::ftp::make_ftp_block(parts->authority, parts->port, parts->path, parameters);
}

TEST(FtpBlock, host_port_and_credentials_come_from_the_url_first) {
  struct Case {
    const char* url;
    std::optional<std::string> user_name, password;
    const char* host;
    uint16_t port;
    const char* user;
    const char* pass;
  };
  const Case cases[] = {
      {"ftp://example.com/a.zip", std::nullopt, std::nullopt, "example.com", 21, "anonymous", "anonymous@example.com"},
      {"ftp://127.0.0.1:2121/a.zip", "op", "pw", "127.0.0.1", 2121, "op", "pw"},
      {"ftp://u:p@host/a.zip", "op", "pw", "host", 21, "u", "p"},
      {"ftp://u:p@host:990/a.zip", "op", "pw", "host", 990, "u", "p"},
      {"ftp://u@host/a.zip", "op", "pw", "host", 21, "u", "pw"},  // no ":": the password is Password's
      {"ftp://u:@host/a.zip", "op", "pw", "host", 21, "u", ""},
      {"ftp://u:p:q@host/a.zip", std::nullopt, std::nullopt, "host", 21, "u", "p:q"},
      {"ftp://a@b:c@host/a.zip", std::nullopt, std::nullopt, "host", 21, "a@b", "c"},  // the last "@" ends them
      {"FTP://Host/a.zip", "", "", "Host", 21, "", ""},  // present but empty parameters are used
  };
  for (const Case& c : cases) {
    FtpParameters parameters;
    parameters.user_name = c.user_name;
    parameters.password = c.password;
    const auto block = block_of(c.url, parameters);
    ASSERT_TRUE(block) << c.url;
    EXPECT_EQ(block->host, c.host) << c.url;
    EXPECT_EQ(block->port, c.port) << c.url;
    EXPECT_EQ(block->user, c.user) << c.url;
    EXPECT_EQ(block->password, c.pass) << c.url;
  }
}

TEST(FtpBlock, paths_are_percent_decoded_with_plus_as_space) {
  struct Case {
    const char* url;
    const char* remote_path;
    const char* command_path;
  };
  const Case cases[] = {
      {"ftp://h/a/b.zip", "/a/b.zip", "a/b.zip"},
      {"ftp://h/dir%20one/a+b.zip", "/dir one/a b.zip", "dir one/a b.zip"},
      {"ftp://h/%41%42%2b.zip", "/AB+.zip", "AB+.zip"},  // an encoded plus stays a plus
      {"ftp://h/%C4%E3%BA%C3.zip", "/\xC4\xE3\xBA\xC3.zip", "\xC4\xE3\xBA\xC3.zip"},
      {"ftp://h/", "/", ""},
  };
  for (const Case& c : cases) {
    const auto block = block_of(c.url);
    ASSERT_TRUE(block) << c.url;
    EXPECT_EQ(block->remote_path, c.remote_path) << c.url;
    EXPECT_EQ(block->command_path(), c.command_path) << c.url;
    EXPECT_EQ(block->url_path, std::string(c.url).substr(std::string(c.url).find('/', 6))) << c.url;
  }
}

TEST(FtpBlock, paths_that_cannot_be_decoded_safely_refuse_the_url) {
  for (const char* url : {"ftp://h/a%zz.zip", "ftp://h/a%2", "ftp://h/a%", "ftp://h/%g0", "ftp://h/a%0D%0ADELE%20b",
                          "ftp://h/a%0a", "ftp://h/a%00b"}) {
    EXPECT_FALSE(block_of(url)) << url;
  }
}

TEST(FtpBlock, long_paths_are_cut_at_1023_bytes_without_half_a_character) {
  const auto plain = block_of("ftp://h/" + std::string(2000, 'a'));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->remote_path.size(), 1023u);
  // "/" and 511 double-byte characters fill 1023 bytes; the next one would not fit.
  std::string encoded;
  for (int i = 0; i < 600; ++i) encoded += "%C4%E3";
  const auto gbk = block_of("ftp://h/" + encoded);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(gbk->remote_path.size(), 1023u);
  EXPECT_EQ(gbk->remote_path.substr(1019), "\xC4\xE3\xC4\xE3");
}

TEST(FtpBlock, transfer_type_from_the_setting_or_the_extension) {
  struct Case {
    int32_t setting;
    const char* path;
    std::optional<std::string> extensions;
    TransferType type;
  };
  const Case cases[] = {
      {1, "/a.txt", std::nullopt, TransferType::Binary},
      {2, "/a.zip", std::nullopt, TransferType::Text},
      {3, "/a.zip", std::nullopt, TransferType::Binary},
      {3, "/a.rm", std::nullopt, TransferType::Binary},
      {3, "/a.txt", std::nullopt, TransferType::Text},
      {3, "/a.ZIP", std::nullopt, TransferType::Text},   // case-sensitive
      {3, "/a.tar.gz", ".gz", TransferType::Binary},     // from the last "."
      {3, "/readme", std::nullopt, TransferType::Text},  // no extension
      {3, "/dir.zip/readme", std::nullopt, TransferType::Text},
      {3, "/a.zip", "", TransferType::Text},
      {0, "/a.txt", std::nullopt, TransferType::Binary},  // not a known setting: binary
  };
  for (const Case& c : cases) {
    FtpParameters parameters;
    parameters.transfer_type = c.setting;
    parameters.binary_extensions = c.extensions;
    const auto block = block_of(std::string("ftp://h") + c.path, parameters);
    ASSERT_TRUE(block) << c.path;
    EXPECT_EQ(block->type, c.type) << "TransferType " << c.setting << ", " << c.path;
  }
}

}  // namespace
