#include <gtest/gtest.h>

#include "downlib/http/header_reader.h"
#include "downlib/http/request.h"
#include "downlib/http/response_header.h"

namespace {

using namespace downlib::http;

TEST(HttpRequest, direct_probe_with_cookie_byte_for_byte) {
  const auto request =
      build_request({"/dir/a%20b.zip", "127.0.0.1:8080", "http://127.0.0.1:8080/dir", "Cookie: id=5\r\n", false});
  ASSERT_TRUE(request);
  EXPECT_EQ(*request,
            "GET /dir/a%20b.zip HTTP/1.1\r\n"
            "Host: 127.0.0.1:8080\r\n"
            "Accept: */*\r\n"
            "Referer: http://127.0.0.1:8080/dir\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
            "Cookie: id=5\r\n"
            "Pragma: no-cache\r\n"
            "Cache-Control: no-cache\r\n"
            "Connection: close\r\n\r\n");
}

TEST(HttpRequest, ranged_open_and_proxied_probe_byte_for_byte) {
  const auto ranged = build_request({"/a.zip", "h", "", range_line(33333), false});
  ASSERT_TRUE(ranged);
  EXPECT_EQ(*ranged,
            "GET /a.zip HTTP/1.1\r\nHost: h\r\nAccept: */*\r\nReferer: \r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
            "Range: bytes=33333-\r\nPragma: no-cache\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n");
  const auto proxied = build_request({"http://h:81/a.zip", "h:81", "ignored", "", true});
  ASSERT_TRUE(proxied);
  EXPECT_EQ(*proxied,
            "GET http://h:81/a.zip HTTP/1.1\r\nHost: h:81\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
            "Proxy-Connection: Keep-Alive\r\n\r\n");
}

TEST(HttpRequest, request_that_does_not_fit_the_area_is_refused) {
  const std::string fixed_part = *build_request({"", "h", "", "", false});
  const size_t room = kRequestArea - 1 - fixed_part.size();
  EXPECT_TRUE(build_request({std::string(room, 'a'), "h", "", "", false})) << "exactly full";
  EXPECT_FALSE(build_request({std::string(room + 1, 'a'), "h", "", "", false})) << "one byte over";
}

// Every split of a header into two reads, and one byte at a time, gives the
// same header and the same early body bytes.
TEST(HttpHeaderReader, any_split_gives_the_same_header_and_body) {
  const std::string answer = "junk before HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody";
  const std::string header = "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\n";
  for (size_t cut = 0; cut <= answer.size(); ++cut) {
    HeaderReader reader;
    // Once the header is complete the rest is read as body, not given to the reader.
    std::string later_body;
    if (reader.add(answer.data(), cut) == HeaderReader::State::Complete)
      later_body = answer.substr(cut);
    else
      reader.add(answer.data() + cut, answer.size() - cut);
    ASSERT_EQ(reader.state(), HeaderReader::State::Complete) << "cut " << cut;
    EXPECT_EQ(reader.header(), header) << "cut " << cut;
    EXPECT_EQ(std::string(reader.early_body()) + later_body, "body") << "cut " << cut;
  }
  HeaderReader bytewise;
  for (char c : answer) bytewise.add(&c, 1);
  EXPECT_EQ(bytewise.header(), header);
  EXPECT_EQ(bytewise.early_body(), "") << "one byte at a time: the header ends before the body arrives";
}

TEST(HttpHeaderReader, header_limit_is_4097_bytes_with_its_empty_line) {
  const auto header_of = [](size_t size) {
    std::string h = "HTTP/1.0 200 OK\r\nX: ";
    h += std::string(size - h.size() - 4, 'x');
    return h + "\r\n\r\n";
  };
  for (size_t size : {size_t{4096}, size_t{4097}, size_t{4098}, size_t{6000}}) {
    const std::string h = header_of(size);
    HeaderReader reader;
    for (size_t at = 0; at < h.size(); at += 1000) reader.add(h.data() + at, std::min<size_t>(1000, h.size() - at));
    EXPECT_EQ(reader.state(), size <= 4097 ? HeaderReader::State::Complete : HeaderReader::State::TooLong)
        << size << " bytes";
  }
  HeaderReader endless;
  const std::string start = "HTTP/1.1 200 OK\r\n";
  endless.add(start.data(), start.size());
  const std::string line(100, 'y');
  for (int i = 0; i < 50 && endless.state() == HeaderReader::State::NeedMore; ++i)
    endless.add(line.data(), line.size());
  EXPECT_EQ(endless.state(), HeaderReader::State::TooLong) << "no empty line within the limit";
}

TEST(HttpHeaderReader, without_start_text_only_a_tail_is_kept) {
  HeaderReader reader;
  const std::string noise(10000, 'n');
  reader.add(noise.data(), noise.size());
  EXPECT_EQ(reader.state(), HeaderReader::State::NeedMore);
  const std::string rest = "HTT";
  reader.add(rest.data(), rest.size());
  const std::string tail = "P/1.0 404 Not Found\r\n\r\n";
  reader.add(tail.data(), tail.size());
  ASSERT_EQ(reader.state(), HeaderReader::State::Complete);
  EXPECT_EQ(reader.header(), "HTTP/1.0 404 Not Found\r\n\r\n");
}

TEST(HttpResponseHeader, field_names_in_any_case) {
  const char* spellings[] = {
      "Content-Length: ", "Content-length: ", "content-length: ", "CONTENT-LENGTH:", "content-Length:\t"};
  for (const char* spelling : spellings) {
    const auto r = parse_response_header(std::string("HTTP/1.1 200 OK\r\n") + spelling + "12345\r\n\r\n");
    EXPECT_EQ(r.status, 200) << spelling;
    EXPECT_EQ(r.content_length, 12345) << spelling;
  }
  const auto other = parse_response_header("HTTP/1.1 200 OK\r\nX-Content-Length: 5\r\n\r\n");
  EXPECT_EQ(other.content_length, -1) << "another field that ends with the name";
}

TEST(HttpResponseHeader, content_lengths_that_are_not_sizes) {
  struct Case {
    const char* value;
    int64_t length;
    bool bad;
  };
  const Case cases[] = {
      {"0", 0, false},
      {"2147483647", 2147483647, false},
      {"2147483648", -1, true},
      {"-5", -1, true},
      {"12abc", -1, true},
      {"", -1, true},
      {"99999999999999999999", -1, true},
  };
  for (const Case& c : cases) {
    const auto r = parse_response_header(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + c.value + "\r\n\r\n");
    EXPECT_EQ(r.content_length, c.length) << c.value;
    EXPECT_EQ(r.bad_content_length.has_value(), c.bad) << c.value;
  }
}

TEST(HttpResponseHeader, fields_read_depend_on_the_status) {
  const std::string fields =
      "Content-Length: 10\r\nLocation: /x\r\nContent-Range: bytes 100-199/1000\r\nVia: proxy\r\n"
      "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nServer: s\r\n"
      "Content-Disposition: attachment; filename=\"pkg.zip\"\r\n\r\n";
  const auto ok = parse_response_header("HTTP/1.1 200 OK\r\n" + fields);
  EXPECT_EQ(ok.content_length, 10);
  EXPECT_FALSE(ok.location);
  EXPECT_EQ(ok.set_cookie, "a=1; path=/") << "the first Set-Cookie only";
  EXPECT_EQ(ok.server, "s");
  const auto partial = parse_response_header("HTTP/1.1 206 Partial\r\n" + fields);
  EXPECT_EQ(partial.content_length, -1) << "206 keeps the length at -1";
  EXPECT_EQ(partial.range_first, 100);
  EXPECT_EQ(partial.range_complete, 1000);
  EXPECT_EQ(partial.via, "proxy");
  const auto moved = parse_response_header("HTTP/1.1 302 Found\r\n" + fields);
  EXPECT_EQ(moved.location, "/x");
  EXPECT_EQ(moved.content_length, 10);
  const auto missing = parse_response_header("HTTP/1.1 404 Not Found\r\n" + fields);
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(missing.content_length, -1);
  EXPECT_FALSE(missing.set_cookie);
  EXPECT_EQ(parse_response_header("HTTP/1.1 2x0 Odd\r\n\r\n").status, 0);
  EXPECT_EQ(parse_response_header("HTTP/1.1").status, 0);
}

TEST(HttpResponseHeader, disposition_file_names) {
  struct Case {
    const char* value;
    std::optional<std::string> name;
  };
  const Case cases[] = {
      {"attachment; filename=\"pkg.zip\"", "pkg.zip"},
      {"attachment; filename=pkg.zip", "pkg.zip"},
      {"attachment; filename=pkg.zip; size=5", "pkg.zip"},
      {"attachment; FILENAME=\"a b.zip\"; x=1", "a b.zip"},
      {"attachment; filename=\"unclosed.zip", "unclosed.zip"},
      {"attachment", std::nullopt},
      {"attachment; filename=\"../../evil.exe\"", "../../evil.exe"},  // made safe later, by the engine
  };
  for (const Case& c : cases) EXPECT_EQ(disposition_file_name(c.value), c.name) << c.value;
}

}  // namespace
