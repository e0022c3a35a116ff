#include "web/fetch_web_page.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/testing/http_server.h"
#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/memory.h"
#include "web/web_library.h"

// FetchWebPage against the local nginx, the way the program calls it.
namespace {

struct Fetched {
  bool null_block = true;  // the empty byte set is a null block
  std::string body;
};

Fetched fetch(const std::string& url) {
  const rt::ArgValue result = rt::call_command(web::FetchWebPage, {rt::ArgValue::of_text(url.c_str())});
  EXPECT_EQ(result.tag, rt::tag::kBytes) << url;
  Fetched fetched;
  fetched.null_block = result.block() == nullptr;
  fetched.body = std::string(rt::bytes_of(result.block()).as_text_view());
  rt::release(result.block());
  return fetched;
}

class FetchWebPage : public ::testing::Test {
 protected:
  void SetUp() override {
    m_server = test_support::find_http_server();
    ASSERT_TRUE(m_server.running()) << m_server.problem;
  }
  test_support::HttpServer m_server;
};

TEST_F(FetchWebPage, bodies_arrive_whole_whatever_their_length_and_framing) {
  struct Case {
    const char* what;
    const char* path;      // fetched
    const char* document;  // the file whose bytes must come back
  };
  const Case cases[] = {
      {"declared length", "/hello.txt", "hello.txt"},
      {"exactly the largest chunk", "/exact-102400.bin", "exact-102400.bin"},
      {"declared, several chunks", "/large.bin", "large.bin"},
      {"no declared length", "/chunked/text.txt", "chunked/text.txt"},
      {"no declared length, several chunks", "/chunked/large.txt", "chunked/large.txt"},
      {"404 page", "/no/such/page.txt", "errors/404.html"},
      {"redirect", "/redirect/hello", "hello.txt"},
      {"redirect to a redirect", "/redirect/chain", "hello.txt"},
      {"fragment", "/hello.txt#section", "hello.txt"},
      {"fragment that looks like a path", "/hello.txt#/../large.bin", "hello.txt"},
  };
  for (const Case& c : cases) {
    const std::string expected = m_server.read_document(c.document);
    ASSERT_FALSE(expected.empty()) << c.what << ": the document " << c.document << " is missing";
    const Fetched got = fetch(m_server.url(c.path));
    EXPECT_EQ(got.body.size(), expected.size()) << c.what << " (" << c.path << ")";
    EXPECT_TRUE(got.body == expected) << c.what << " (" << c.path << "): body differs from " << c.document;
  }
}

TEST_F(FetchWebPage, empty_bodies_and_failures_give_the_empty_byte_set) {
  struct Case {
    const char* what;
    std::string url;
  };
  const Case cases[] = {
      {"empty file", m_server.url("/empty.txt")},
      {"empty answer", m_server.url("/empty")},
      {"refused port", "http://127.0.0.1:1/hello.txt"},
      {"https speaks TLS, which the plain server does not",
       "https://127.0.0.1:" + std::to_string(m_server.port) + "/hello.txt"},
#ifndef _WIN32
      // WinINet gives up after its own limit; Wine's follows without end.
      {"endless redirects", m_server.url("/redirect/loop")},
#endif
      {"not a URL", "nonsense"},
      {"no host", "http:///hello.txt"},
  };
  for (const Case& c : cases) {
    const Fetched got = fetch(c.url);
    EXPECT_TRUE(got.null_block) << c.what << " (" << c.url << "): got " << got.body.size() << " bytes";
  }
}

TEST_F(FetchWebPage, empty_url_contacts_nobody) {
  const std::string log_before = m_server.access_log();
  for (const char* url : {"", "#only-a-fragment"}) EXPECT_TRUE(fetch(url).null_block) << "\"" << url << "\"";
  rt::ArgValue result;
  web::FetchWebPage(&result, 0, nullptr);
  EXPECT_EQ(result.block(), nullptr) << "no argument";
  EXPECT_EQ(m_server.access_log(), log_before);
}

TEST_F(FetchWebPage, request_is_an_uncached_http_1_0_get_with_the_fixed_agent) {
  const std::string echo = fetch(m_server.url("/echo/request")).body;
  EXPECT_EQ(echo.substr(0, echo.find('\n')), "GET /echo/request HTTP/1.0");
  EXPECT_NE(echo.find("\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\n"), std::string::npos) << echo;
  const size_t accept = echo.find("\nAccept: ");
  ASSERT_NE(accept, std::string::npos) << echo;
  EXPECT_NE(echo.substr(accept, echo.find('\n', accept + 1) - accept).find("*/*"), std::string::npos) << echo;
  EXPECT_NE(echo.find("\nRange: \n"), std::string::npos) << "no range of our own: " << echo;
}

TEST_F(FetchWebPage, credentials_in_the_url_answer_the_server_challenge) {
  const std::string page = "@127.0.0.1:" + std::to_string(m_server.port) + "/private/whoami.html";
  // Without credentials, or with wrong ones, the 401 page is the body. These
  // come first: once a fetch has authenticated, WinINet keeps answering this
  // server's challenges with the accepted credentials for the rest of the process.
  const std::string without = fetch(m_server.url("/private/whoami.html")).body;
  EXPECT_NE(without.find("401"), std::string::npos) << "without credentials: " << without;
  const std::string wrong = fetch("http://fixture:wrong" + page).body;
  EXPECT_NE(wrong.find("401"), std::string::npos) << "wrong password: " << wrong;

  EXPECT_EQ(fetch("http://fixture:secret" + page).body, "Basic Zml4dHVyZTpzZWNyZXQ=");  // base64 of fixture:secret
}

TEST_F(FetchWebPage, spaces_in_the_path_reach_the_file_so_named) {
  ASSERT_TRUE(m_server.write_document("with space.txt", "spaced out\n"));
  EXPECT_EQ(fetch(m_server.url("/with space.txt")).body, "spaced out\n");
}

TEST(WebLibrary, record_holds_the_one_command_and_notify_answers_start_and_end) {
  const rt::SupportLibrary& library = web::kWebLibrary;
  ASSERT_EQ(library.command_count, 1);
  EXPECT_EQ(library.commands[0], &web::FetchWebPage);
  struct Case {
    int32_t code;
    int32_t answer;
  };
  for (const Case& c : {Case{1, 0}, Case{6, 0}, Case{8, -1}, Case{2, -1}})
    EXPECT_EQ(library.notify(c.code, 0, 0), c.answer) << "code " << c.code;
}

}  // namespace
