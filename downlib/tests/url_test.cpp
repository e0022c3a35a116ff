#include "downlib/url.h"

#include <gtest/gtest.h>

namespace {

using downlib::Protocol;

TEST(UrlRecognition, protocol_rows_by_first_letter_and_sum) {
  struct Case {
    const char* url;
    std::optional<Protocol> protocol;
    size_t prefix;
  };
  const Case cases[] = {
      {"http://host/a.zip", Protocol::Http, 7},
      {"HTTP://HOST/a.zip", Protocol::Http, 7},  // the copy is lower-cased
      {"ftp://host/a.zip", Protocol::Ftp, 6},
      {"mms://host/a", Protocol::Mms, 6},
      {"mmst://host/a", Protocol::Mms, 7},
      {"rtsp://host/a", Protocol::Rtsp, 7},
      {"https://host/a.zip", std::nullopt, 0},  // its sum matches no row
      {"xttp://host/a", std::nullopt, 0},       // no row starts at x
      {"http:/", std::nullopt, 0},              // too short to sum
      {"", std::nullopt, 0},
      // A failed row goes on to the rows below: "htp://" sums as "tp://" of FTP.
      {"htp://host/a", Protocol::Ftp, 6},
      {"fttp://host/a", std::nullopt, 0},
  };
  for (const Case& c : cases) {
    size_t prefix = 0;
    const auto protocol = downlib::recognise_protocol(c.url, &prefix);
    EXPECT_EQ(protocol, c.protocol) << c.url;
    if (protocol) {
      EXPECT_EQ(prefix, c.prefix) << c.url;
    }
  }
}

TEST(UrlRecognition, authority_port_and_path) {
  struct Case {
    const char* url;
    bool accepted;
    const char* authority;
    uint16_t port;
    const char* path;
  };
  const Case cases[] = {
      {"http://host/dir/a.zip", true, "host", 80, "/dir/a.zip"},
      {"http://Host:8080/Dir/A.zip", true, "Host:8080", 8080, "/Dir/A.zip"},  // path as written
      {"http://user:pw@host:81/a", true, "user:pw@host:81", 81, "/a"},
      {"http://user:pw@host/a", true, "user:pw@host", 80, "/a"},  // "@" without a port keeps the default
      {"ftp://host/a", true, "host", 21, "/a"},
      {"ftp://u:p@host:2121/x/y", true, "u:p@host:2121", 2121, "/x/y"},
      {"http://host:/a", true, "host:", 80, "/a"},
      {"http://host", false, "", 0, ""},      // no "/" after the authority
      {"http:///a", false, "", 0, ""},        // empty authority
      {"http://host:0/a", false, "", 0, ""},  // ports are 1-65535
      {"http://host:65536/a", false, "", 0, ""},
      {"http://host:8x/a", false, "", 0, ""},
      {"https://host/a", false, "", 0, ""},
  };
  for (const Case& c : cases) {
    const auto parts = downlib::recognise_url(c.url);
    ASSERT_EQ(parts.has_value(), c.accepted) << c.url;
    if (!parts) continue;
    EXPECT_EQ(parts->authority, c.authority) << c.url;
    EXPECT_EQ(parts->port, c.port) << c.url;
    EXPECT_EQ(parts->path, c.path) << c.url;
  }
}

}  // namespace
