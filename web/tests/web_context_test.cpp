#include "web/web_context.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/testing/http_server.h"
#include "web/http_fetch.h"

// The shared root handle: opened on first use, opened again after a failed
// open, and opened once when two first fetches race.
namespace {

std::atomic<int> g_opens{0};
std::atomic<int> g_failures_left{0};

void* counting_open() {
  ++g_opens;
  if (g_failures_left > 0) {
    --g_failures_left;
    return nullptr;
  }
  // Long enough for a second thread to arrive while the first is opening.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return web::open_root_handle();
}

std::string fetch_text(web::WebContext& context, const std::string& url) {
  const std::vector<uint8_t> body = web::fetch_body(context, url);
  return std::string(body.begin(), body.end());
}

TEST(WebContext, failed_open_is_tried_again_by_the_next_fetch) {
  const test_support::HttpServer server = test_support::find_http_server();
  ASSERT_TRUE(server.running()) << server.problem;
  const std::string expected = server.read_document("hello.txt");

  g_opens = 0;
  g_failures_left = 1;
  web::WebContext context(counting_open);
  EXPECT_EQ(fetch_text(context, server.url("/hello.txt")), "") << "no root handle, no body";
  EXPECT_EQ(g_opens, 1);
  EXPECT_EQ(fetch_text(context, server.url("/hello.txt")), expected);
  EXPECT_EQ(g_opens, 2) << "the second fetch opens the root handle again";
  EXPECT_EQ(fetch_text(context, server.url("/hello.txt")), expected);
  EXPECT_EQ(g_opens, 2) << "an open root handle is kept";
}

TEST(WebContext, two_first_fetches_at_once_open_one_root_handle) {
  const test_support::HttpServer server = test_support::find_http_server();
  ASSERT_TRUE(server.running()) << server.problem;
  const std::string expected = server.read_document("exact-102400.bin");

  g_opens = 0;
  g_failures_left = 0;
  web::WebContext context(counting_open);
  std::string first, second;
  std::thread a([&] { first = fetch_text(context, server.url("/exact-102400.bin")); });
  std::thread b([&] { second = fetch_text(context, server.url("/exact-102400.bin")); });
  a.join();
  b.join();
  EXPECT_EQ(g_opens, 1);
  EXPECT_TRUE(first == expected) << "first thread got " << first.size() << " bytes";
  EXPECT_TRUE(second == expected) << "second thread got " << second.size() << " bytes";
}

}  // namespace
