#include <gtest/gtest.h>

#include "downlib/http/redirect.h"

namespace {

using downlib::http::apply_redirect;
using downlib::http::HttpBlock;
using downlib::http::make_http_block;

HttpBlock direct_block() {
  return make_http_block("http://a.host:8080/dir/a.zip", "a.host:8080", "/dir/a.zip", 8080, std::nullopt, std::nullopt);
}

HttpBlock proxied_block() {
  return make_http_block("http://a.host/dir/a.zip", "a.host", "/dir/a.zip", 80, std::string("proxy:3128"),
                         std::nullopt);
}

TEST(HttpBlock, referer_and_proxy_defaults) {
  const HttpBlock direct = direct_block();
  EXPECT_EQ(direct.request_target, "/dir/a.zip");
  EXPECT_EQ(direct.referer, "http://a.host:8080/dir/") << "the URL up to and including its last /";
  EXPECT_FALSE(direct.through_proxy());
  const HttpBlock empty_referer = make_http_block("http://h/a", "h", "/a", 80, std::string(""), std::string(""));
  EXPECT_EQ(empty_referer.referer, "") << "a present empty Referer stays empty";
  EXPECT_FALSE(empty_referer.through_proxy()) << "an empty Proxy counts as absent";
  EXPECT_EQ(proxied_block().request_target, "http://a.host/dir/a.zip");
}

TEST(HttpRedirect, relative_and_absolute_locations) {
  struct Case {
    const char* location;
    bool proxied;
    const char* target;
    const char* host;
    uint16_t port;
    const char* referer;
  };
  const Case cases[] = {
      {"b.zip", false, "/dir/b.zip", "a.host:8080", 8080, "http://a.host:8080/"},
      {"sub/b.zip", false, "/dir/sub/b.zip", "a.host:8080", 8080, "http://a.host:8080/sub/"},
      {"/top/b.zip", false, "/top/b.zip", "a.host:8080", 8080, "http://a.host:8080/top/"},
      {"http://b.host/x/y.zip", false, "/x/y.zip", "b.host", 80, "http://b.host/x/"},
      {"http://b.host:81/y.zip", false, "/y.zip", "b.host:81", 81, "http://b.host:81/"},
      {"http://b.host", false, "/", "b.host", 80, "http://b.host/"},
      // Other schemes and upper-case ones are relative locations.
      {"https://b.host/y.zip", false, "/dir/https://b.host/y.zip", "a.host:8080", 8080,
       "http://a.host:8080/https://b.host/"},
      {"HTTP://b.host/y.zip", false, "/dir/HTTP://b.host/y.zip", "a.host:8080", 8080,
       "http://a.host:8080/HTTP://b.host/"},
      {"b.zip", true, "http://a.host/dir/b.zip", "a.host", 3128, "http://a.host/"},
      {"/top/b.zip", true, "http://a.host/top/b.zip", "a.host", 3128, "http://a.host/top/"},
      {"http://b.host/x/y.zip", true, "http://b.host/x/y.zip", "b.host", 3128, "http://b.host/x/"},
  };
  for (const Case& c : cases) {
    HttpBlock block = c.proxied ? proxied_block() : direct_block();
    if (c.proxied) block.port = 3128;  // the probe's proxy port
    ASSERT_TRUE(apply_redirect(block, c.location, std::nullopt)) << c.location;
    EXPECT_EQ(block.request_target, c.target) << c.location;
    EXPECT_EQ(block.host, c.host) << c.location;
    EXPECT_EQ(block.port, c.port) << c.location;
    EXPECT_EQ(block.referer, c.referer) << c.location;
  }
}

TEST(HttpRedirect, cookie_line_and_refusals) {
  HttpBlock block = direct_block();
  ASSERT_TRUE(apply_redirect(block, "b.zip", std::string("id=5; path=/")));
  EXPECT_EQ(block.cookie_line, "Cookie: id=5\r\n");
  ASSERT_TRUE(apply_redirect(block, "c.zip", std::string("whole")));
  EXPECT_EQ(block.cookie_line, "Cookie: whole\r\n");

  const HttpBlock before = block;
  EXPECT_FALSE(apply_redirect(block, "ftp://host/a.zip", std::nullopt));
  EXPECT_FALSE(apply_redirect(block, "http://host:99999/a.zip", std::nullopt));
  EXPECT_FALSE(apply_redirect(block, "http:///a.zip", std::nullopt));
  EXPECT_TRUE(apply_redirect(block, "d.zip", std::string(4086, 'c'))) << "4086 bytes of cookie are allowed";
  block = before;
  EXPECT_FALSE(apply_redirect(block, "d.zip", std::string(4087, 'c')));
  EXPECT_EQ(block.request_target, before.request_target) << "a refused redirect changes nothing";
  EXPECT_EQ(block.cookie_line, before.cookie_line);
}

}  // namespace
