// Whole downloads from the local nginx through the library's commands:
// bytes, segment plans, events, status texts, names and stops.

#include <gtest/gtest.h>

#include <thread>

#include "downlib/download_library.h"
#include "downlib/task_state.h"
#include "downlib/testing/retry_override.h"
#include "downlib/tests/download_harness.h"
#include "platform/socket.h"
#include "platform/testing/http_server.h"
#include "runtime/memory.h"

namespace {

using namespace downlib_test;

constexpr size_t kBigFile = 64u << 20;

class DownloadFromNginx : public ::testing::Test {
 protected:
  void SetUp() override {
    m_server = test_support::find_http_server();
    ASSERT_TRUE(m_server.running()) << m_server.problem;
    // Failures here are meant to end in seconds, not after 999 waits of 5 s.
    downlib::testing::set_retry_override(2, 50);
  }
  void TearDown() override { downlib::testing::clear_retry_override(); }

  // A file served under /download/.
  std::string put(const std::string& name, const std::string& bytes) {
    if (bytes.empty() || m_server.read_document("download/" + name) != bytes) {
      EXPECT_TRUE(m_server.write_document("download/" + name, bytes)) << name;
    }
    return bytes;
  }
  std::string url(const std::string& path) const { return m_server.url(path); }
  std::string address() const { return "127.0.0.1:" + std::to_string(m_server.port); }

  test_support::HttpServer m_server;
};

// The snapshot is taken when the controller gets to the SizeKnown event,
// and workers that ended their segments may have split others by then (on a
// loaded machine, under the sanitizers): a planned segment marked split is
// shorter, and the pieces split off follow the plan's records.
void expect_plan(const Outcome& outcome, const std::vector<std::pair<int32_t, int32_t>>& plan,
                 const std::string& what) {
  ASSERT_FALSE(outcome.state_at_size_known.empty()) << what << ": no snapshot at SizeKnown";
  const auto state = downlib::decode_task_state(outcome.state_at_size_known.data(), outcome.state_at_size_known.size());
  ASSERT_TRUE(state) << what;
  const int32_t count = outcome.state_value(3, 0);
  ASSERT_GE(count, static_cast<int32_t>(plan.size())) << what;
  int32_t done_sum = 0, length_sum = 0, planned_sum = 0;
  for (int32_t index = 1; index <= count; ++index) {
    const size_t i = static_cast<size_t>(index - 1);
    const int32_t length = outcome.state_value(5, index), done = outcome.state_value(6, index);
    if (i < plan.size()) {
      EXPECT_EQ(outcome.state_value(4, index), plan[i].first) << what << ", segment " << index << " start";
      if (state->segments[i].split)
        EXPECT_LT(length, plan[i].second) << what << ", segment " << index << " length (split)";
      else
        EXPECT_EQ(length, plan[i].second) << what << ", segment " << index << " length";
      planned_sum += plan[i].second;
    }
    EXPECT_GE(done, 0) << what << ", segment " << index << " done";
    EXPECT_LE(done, length) << what << ", segment " << index << " done";
    done_sum += done;
    length_sum += length;
  }
  EXPECT_EQ(length_sum, planned_sum) << what << ": the segments cover the file once";
  EXPECT_EQ(outcome.state_value(2, 0), done_sum) << what << ": bytes done are the segments' sum";
}

std::vector<std::pair<int32_t, int32_t>> even_plan(int32_t size, int32_t count) {
  std::vector<std::pair<int32_t, int32_t>> plan;
  for (int32_t i = 0; i < count; ++i)
    plan.emplace_back(size / count * i, i + 1 == count ? size - size / count * i : size / count);
  return plan;
}

TEST_F(DownloadFromNginx, big_file_arrives_whole_over_1_3_4_and_8_connections) {
  const std::string content = put("big.bin", random_bytes(kBigFile, 64));
  for (int32_t threads : {1, 3, 4, 8}) {
    const std::string what = std::to_string(threads) + " connections";
    ScratchDirectory directory("big");
    Download download;
    download.set_url(url("/download/big.bin"));
    download.set_save_path(directory.file("big.bin"));
    download.param().ThreadCount = threads;
    const Outcome outcome = download.run(180000);
    ASSERT_TRUE(outcome.ended) << what;
    EXPECT_EQ(outcome.ended_value, static_cast<int32_t>(kBigFile)) << what;
    EXPECT_TRUE(read_file(directory.file("big.bin")) == content) << what << ": the bytes differ";
    EXPECT_EQ(outcome.count(downlib::kSizeKnown), 1) << what;
    EXPECT_EQ(outcome.of(downlib::kSizeKnown)[0]->value1, static_cast<int32_t>(kBigFile)) << what;
    EXPECT_EQ(outcome.count(downlib::kWorkerStarted), threads) << what;
    EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 0) << what << "\n" << outcome.status_log();
    EXPECT_EQ(outcome.events.back().code, downlib::kTaskEnded) << what;
    expect_plan(outcome, even_plan(static_cast<int32_t>(kBigFile), threads), what);
    // The task is still the object's while TaskEnded runs: its last state
    // tells a complete file.
    EXPECT_EQ(outcome.final_state_value(1, 0), static_cast<int32_t>(kBigFile)) << what;
    EXPECT_EQ(outcome.final_state_value(2, 0), static_cast<int32_t>(kBigFile)) << what;
    int64_t received = 0;
    for (const Event* e : outcome.of(downlib::kReceived)) received += e->value1;
    EXPECT_LE(received, static_cast<int64_t>(kBigFile)) << what << ": Received values are pieces, not totals";
    EXPECT_GT(received, static_cast<int64_t>(kBigFile) / 2) << what;
  }
}

TEST_F(DownloadFromNginx, segment_plans_around_the_4096_and_20480_rules) {
  struct Case {
    int32_t size;
    int32_t threads;
    std::vector<std::pair<int32_t, int32_t>> plan;
  };
  const Case cases[] = {
      {0, 4, {{0, 0}}},
      {1, 4, {{0, 1}}},
      {4095, 4, {{0, 4095}}},
      {4096, 4, {{0, 4096}}},  // below 20480 bytes, HTTP keeps one segment
      {10000, 4, {{0, 10000}}},
      {20479, 4, {{0, 20479}}},
      {20480, 4, even_plan(20480, 4)},
      {20481, 4, even_plan(20481, 4)},
      {100000, 4, {{0, 25000}, {25000, 25000}, {50000, 25000}, {75000, 25000}}},
      {100000, 3, {{0, 33333}, {33333, 33333}, {66666, 33334}}},
      {100000, 0, {{0, 100000}}},  // ThreadCount 0 behaves like 1
      {100000, -5, {{0, 100000}}},
      {1000000, 100, even_plan(1000000, 64)},  // capped at 64 connections
  };
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.size) + " bytes, ThreadCount " + std::to_string(c.threads);
    const std::string name = "sized-" + std::to_string(c.size) + ".bin";
    const std::string content = put(name, random_bytes(static_cast<size_t>(c.size), static_cast<uint32_t>(c.size)));
    ScratchDirectory directory("sizes");
    Download download;
    download.set_url(url("/download/" + name));
    download.set_save_path(directory.file(name));
    download.param().ThreadCount = c.threads;
    const Outcome outcome = download.run();
    ASSERT_TRUE(outcome.ended) << what;
    EXPECT_EQ(outcome.ended_value, c.size) << what << "\n" << outcome.status_log();
    EXPECT_EQ(outcome.state_value(1, 0), c.size) << what << ": total size after SizeKnown";
    expect_plan(outcome, c.plan, what);
    // A worker is only started for a segment nobody reads yet: the first
    // worker may have gone on into the next small segment before its turn.
    if (c.plan.size() == 1) {
      EXPECT_EQ(outcome.count(downlib::kWorkerStarted), 1) << what;
    } else {
      EXPECT_LE(outcome.count(downlib::kWorkerStarted), static_cast<int>(c.plan.size())) << what;
    }
    EXPECT_TRUE(read_file(directory.file(name)) == content) << what << ": the bytes differ";
  }
}

TEST_F(DownloadFromNginx, existing_files_are_never_overwritten_but_numbered) {
  const std::string content = put("numbered.zip", random_bytes(30000, 7));
  ScratchDirectory directory("numbers");
  struct Case {
    const char* target;
    const char* saved_as;
  };
  const Case cases[] = {{"x.zip", "x(1).zip"}, {"x.zip", "x(2).zip"}, {"a.b.c", "a(1).b.c"}};
  ASSERT_TRUE(write_file(directory.file("x.zip"), "old"));
  ASSERT_TRUE(write_file(directory.file("a.b.c"), "old"));
  for (const Case& c : cases) {
    Download download;
    download.set_url(url("/download/numbered.zip"));
    download.set_save_path(directory.file(c.target));
    const Outcome outcome = download.run();
    ASSERT_EQ(outcome.count(downlib::kFileExists), 1) << c.saved_as;
    EXPECT_EQ(outcome.of(downlib::kFileExists)[0]->value1, 3) << "the existing file's size";
    EXPECT_EQ(outcome.of(downlib::kFileExists)[0]->value2, 30000) << "the new file's size";
    EXPECT_TRUE(outcome.has_status("发现同名文件, 系统自动更名为" + directory.file(c.saved_as), downlib::kProgress))
        << c.saved_as << "\n"
        << outcome.status_log();
    EXPECT_TRUE(read_file(directory.file(c.saved_as)) == content) << c.saved_as;
    EXPECT_EQ(outcome.ended_value, 30000) << c.saved_as;
  }
  EXPECT_EQ(read_file(directory.file("x.zip")), "old");
  EXPECT_EQ(read_file(directory.file("a.b.c")), "old");

  // A name at (99) cannot be numbered further: the worker gives up.
  ASSERT_TRUE(write_file(directory.file("y(99).zip"), "old"));
  Download last;
  last.set_url(url("/download/numbered.zip"));
  last.set_save_path(directory.file("y(99).zip"));
  const Outcome outcome = last.run();
  EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 1);
  EXPECT_EQ(outcome.ended_value, 0);
  EXPECT_FALSE(read_file(directory.file("y(100).zip")));
  EXPECT_EQ(read_file(directory.file("y(99).zip")), "old");
}

TEST_F(DownloadFromNginx, file_exists_answers_give_up_or_take_the_handlers_name) {
  const std::string content = put("answers.bin", random_bytes(25000, 8));
  ScratchDirectory directory("answers");
  ASSERT_TRUE(write_file(directory.file("t.bin"), "old"));

  Download give_up;
  give_up.set_url(url("/download/answers.bin"));
  give_up.set_save_path(directory.file("t.bin"));
  give_up.set_file_exists({downlib::kGiveUp, ""});
  const Outcome refused = give_up.run();
  EXPECT_TRUE(refused.has_status("发现同名文件, 用户选择放弃下载", downlib::kProgress)) << refused.status_log();
  EXPECT_EQ(refused.count(downlib::kWorkerDone), 1);
  EXPECT_EQ(refused.ended_value, 0);
  EXPECT_FALSE(read_file(directory.file("t(1).bin")));

  Download renamed;
  renamed.set_url(url("/download/answers.bin"));
  renamed.set_save_path(directory.file("t.bin"));
  renamed.set_file_exists({downlib::kHandlerRenamed, directory.file("chosen.bin")});
  const Outcome chosen = renamed.run();
  EXPECT_TRUE(chosen.has_status("发现同名文件, 用户更名为" + directory.file("chosen.bin"), downlib::kProgress))
      << chosen.status_log();
  EXPECT_TRUE(read_file(directory.file("chosen.bin")) == content);
  EXPECT_EQ(read_file(directory.file("t.bin")), "old");
}

TEST_F(DownloadFromNginx, directory_targets_take_safe_names) {
  const std::string content = put("my file.bin", random_bytes(5000, 9));
  put("data.bin", content);
  struct Case {
    const char* path;
    const char* saved_as;
  };
  const Case cases[] = {
      {"/download/my%20file.bin", "my file.bin"},  // decoded
      {"/download/my file.bin", "my file.bin"},    // requested with %20
      {"/named/data.bin", "server-named.bin"},     // Content-Disposition
      {"/hostile/data.bin", "evil.bin"},           // "../../evil.bin" stays inside the directory
      {"/to-download/data.bin", "data.bin"},       // the name after the redirect
  };
  for (const Case& c : cases) {
    ScratchDirectory directory("names");
    Download download;
    download.set_url(url(c.path));
    download.set_save_path(directory.path());
    const Outcome outcome = download.run();
    EXPECT_EQ(outcome.ended_value, 5000) << c.path << "\n" << outcome.status_log();
    EXPECT_TRUE(read_file(directory.file(c.saved_as)) == content) << c.path << ": not saved as " << c.saved_as;
  }
}

TEST_F(DownloadFromNginx, redirects_are_followed_up_to_twenty_in_a_row) {
  const std::string content = put("moved.bin", random_bytes(50000, 10));
  for (const char* path : {"/to-download/moved.bin", "/to-download-rooted/moved.bin"}) {
    ScratchDirectory directory("redirect");
    Download download;
    download.set_url(url(path));
    download.set_save_path(directory.file("moved.bin"));
    download.param().ThreadCount = 2;
    const Outcome outcome = download.run();
    EXPECT_EQ(outcome.ended_value, 50000) << path << "\n" << outcome.status_log();
    EXPECT_TRUE(read_file(directory.file("moved.bin")) == content) << path;
    int redirects = 0;
    for (const Status& s : outcome.statuses) redirects += s.text.rfind("重定向到 [", 0) == 0 && s.level == 3;
    EXPECT_EQ(redirects, 1) << path;
  }
  EXPECT_TRUE([&] {
    ScratchDirectory directory("redirect");
    Download download;
    download.set_url(url("/to-download/moved.bin"));
    download.set_save_path(directory.file("moved.bin"));
    return download.run().has_status("重定向到 [http://" + address() + "/download/moved.bin]", downlib::kError);
  }());

  ScratchDirectory directory("loop");
  Download loop;
  loop.set_url(url("/redirect/loop"));
  loop.set_save_path(directory.file("loop.bin"));
  const Outcome outcome = loop.run();
  int redirects = 0;
  for (const Status& s : outcome.statuses) redirects += s.text.rfind("重定向到 [", 0) == 0;
  EXPECT_EQ(redirects, 21) << "twenty followed, the twenty-first refused";
  EXPECT_TRUE(outcome.has_status("COOKIE过长或获得重定向信息错误或不支持的协议", downlib::kError));
  EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 1);
  EXPECT_EQ(outcome.ended_value, 0);
}

TEST_F(DownloadFromNginx, status_texts_of_probe_and_ranged_opens) {
  put("texts.bin", random_bytes(100000, 11));
  ScratchDirectory directory("texts");
  Download download;
  // A host name to resolve, and a first answer slow enough that the second
  // worker opens its range meanwhile: nginx sends a second's worth (20000
  // bytes) at once, the rest of the first half takes 1.5 s.
  const std::string port = std::to_string(m_server.port);
  download.set_url("http://localhost:" + port + "/throttled/texts.bin?probe=20000");
  download.set_save_path(directory.file("texts.bin"));
  download.param().ThreadCount = 2;
  const Outcome outcome = download.run();
  EXPECT_TRUE(outcome.has_status("正在解析域名 [localhost]", downlib::kProgress)) << outcome.status_log();
  EXPECT_TRUE(outcome.has_status("正在连接 [127.0.0.1:" + port + "]", downlib::kProgress));
  EXPECT_TRUE(outcome.has_status("连接 [127.0.0.1:" + port + "]成功", downlib::kProgress));
  EXPECT_TRUE(outcome.has_status("连接[127.0.0.1:" + port + "]成功", downlib::kProgress));
  int requests = 0, headers = 0;
  for (const Status& s : outcome.statuses) {
    EXPECT_FALSE(s.time.empty());
    if (s.level == downlib::kRequestSent) {
      ++requests;
      EXPECT_EQ(s.text.rfind("GET /throttled/texts.bin?probe=20000 HTTP/1.1\r\nHost: localhost:" + port + "\r\n", 0),
                0u)
          << s.text;
    }
    if (s.level == downlib::kReplyReceived) {
      ++headers;
      EXPECT_EQ(s.text.rfind("HTTP/1.1 20", 0), 0u) << s.text;
      EXPECT_EQ(s.text.substr(s.text.size() - 4), "\r\n\r\n");
    }
  }
  // The probe and a ranged open at least; a worker that finishes early may
  // split the other's segment and open once more.
  EXPECT_GE(requests, 2);
  EXPECT_EQ(headers, requests);
  EXPECT_NE(m_server.access_log().find("\"bytes=50000-\""), std::string::npos) << "the ranged open asked from 50000";
}

TEST_F(DownloadFromNginx, failures_end_the_task_with_their_texts) {
  ScratchDirectory directory("failures");
  {
    Download missing;
    missing.set_url(url("/download/no-such-file.bin"));
    missing.set_save_path(directory.file("missing.bin"));
    const Outcome outcome = missing.run();
    EXPECT_TRUE(outcome.has_status("出现错误", downlib::kError)) << outcome.status_log();
    EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 1);
    EXPECT_EQ(outcome.ended_value, 0);
    EXPECT_FALSE(read_file(directory.file("missing.bin")));
  }
  {
    put("somewhere.bin", "12345");
    Download nowhere;
    nowhere.set_url(url("/download/somewhere.bin"));
    nowhere.set_save_path(directory.file("no-such-directory\\somewhere.bin"));
    const Outcome outcome = nowhere.run();
    EXPECT_TRUE(outcome.has_status("创建文件错误，超出最大支持下载长度或磁盘不可写或磁盘没有空间或同名文件已存在",
                                   downlib::kError))
        << outcome.status_log();
    EXPECT_EQ(outcome.ended_value, 0) << "nothing reached a file";
  }
  {
    // A port nobody listens on: connect failures, two retries, then the end.
    int32_t error = 0;
    uint16_t port = 0;
    const platform::SocketHandle placeholder = platform::listen_tcp(0x7F000001, 0, 1, &port, &error);
    platform::close_socket(placeholder);
    Download unreachable;
    unreachable.set_url("http://127.0.0.1:" + std::to_string(port) + "/x.bin");
    unreachable.set_save_path(directory.file("x.bin"));
    const Outcome outcome = unreachable.run();
    int failures = 0, waits = 0;
    for (const Status& s : outcome.statuses) {
      failures += s.text == "连接 [127.0.0.1:" + std::to_string(port) + "]失败" && s.level == downlib::kError;
      waits += s.text == "等待5秒后重试" && s.level == downlib::kProgress;
    }
    EXPECT_EQ(failures, 3) << outcome.status_log();
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 1);
    EXPECT_EQ(outcome.ended_value, 0);
  }
}

TEST_F(DownloadFromNginx, stop_start_twice_take_received_and_get_state) {
  const int32_t size = 2000000;
  put("slow.bin", random_bytes(static_cast<size_t>(size), 12));
  ScratchDirectory directory("stop");
  Download download;
  download.set_url(url("/throttled/slow.bin?slow=all&rate=40000"));
  download.set_save_path(directory.file("slow.bin"));
  download.param().ThreadCount = 2;

  void* untouched = reinterpret_cast<void*>(0x1234);
  EXPECT_FALSE(download.call_get_state(&untouched)) << "no task yet";
  EXPECT_EQ(untouched, reinterpret_cast<void*>(0x1234)) << "the variable is left alone";
  EXPECT_EQ(download.call_take_received(), 0);

  ASSERT_TRUE(download.start());
  EXPECT_FALSE(download.call_start()) << "the object holds a task";
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_GT(download.call_take_received(), 0) << "bytes arrived in 1.5 s";
  EXPECT_EQ(download.call_take_received(), 0) << "taken already";
  void* state = nullptr;
  EXPECT_TRUE(download.call_get_state(&state));
  rt::release(state);

  download.call_stop();
  EXPECT_EQ(download.object().task.load(), nullptr) << "Stop empties the object at once";
  const Outcome outcome = download.wait();
  ASSERT_TRUE(outcome.ended);
  EXPECT_GT(outcome.ended_value, 0);
  EXPECT_LT(outcome.ended_value, size) << "a stopped task reports the bytes done";
  EXPECT_EQ(outcome.events.back().code, downlib::kTaskEnded);
}

TEST_F(DownloadFromNginx, stop_right_after_start) {
  put("slow2.bin", random_bytes(1000000, 13));
  ScratchDirectory directory("stop-at-once");
  Download download;
  download.set_url(url("/throttled/slow2.bin?slow=all&rate=40000"));
  download.set_save_path(directory.file("slow2.bin"));
  ASSERT_TRUE(download.start());
  download.call_stop();
  EXPECT_EQ(download.object().task.load(), nullptr);
  const Outcome outcome = download.wait();
  ASSERT_TRUE(outcome.ended);
  EXPECT_LT(outcome.ended_value, 1000000);
  EXPECT_EQ(outcome.events.back().code, downlib::kTaskEnded);

  // The object is free for the next download.
  Download again;
  put("small.bin", "small");
  again.set_url(url("/download/small.bin"));
  again.set_save_path(directory.file("small.bin"));
  EXPECT_EQ(again.run().ended_value, 5);
}

// The library's end notification stops what still runs; TaskEnded arrives
// before it returns.
TEST_F(DownloadFromNginx, end_notification_stops_running_tasks) {
  put("slow3.bin", random_bytes(1000000, 18));
  ScratchDirectory directory("notify-end");
  Download download;
  download.set_url(url("/throttled/slow3.bin?slow=all&rate=40000"));
  download.set_save_path(directory.file("slow3.bin"));
  ASSERT_TRUE(download.start());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(downlib::kDownloadLibrary.notify(rt::kNotifyEnd, 0, 0), 0);
  EXPECT_EQ(download.object().task.load(), nullptr);
  const Outcome outcome = download.wait(0);
  EXPECT_TRUE(outcome.ended) << "TaskEnded came before the notification returned";
  EXPECT_LT(outcome.ended_value, 1000000);
}

TEST_F(DownloadFromNginx, speed_limit_is_shared_between_workers) {
  const std::string content = put("limited.bin", random_bytes(40960, 14));
  ScratchDirectory directory("limit");
  Download download;
  download.set_url(url("/download/limited.bin"));
  download.set_save_path(directory.file("limited.bin"));
  download.param().ThreadCount = 2;
  download.param().SpeedLimit = 10000;
  const Outcome outcome = download.run();
  EXPECT_TRUE(read_file(directory.file("limited.bin")) == content);
  const auto started = outcome.of(downlib::kWorkerStarted);
  ASSERT_EQ(started.size(), 2u);
  for (const Event* e : outcome.of(downlib::kReceived)) {
    EXPECT_LE(e->value1, 10000);
    if (e->worker == started[1]->worker) {
      EXPECT_LE(e->value1, 5000) << "two workers share 10000 bytes a second";
    }
  }
  EXPECT_GE(outcome.milliseconds, 2500u) << "40960 bytes at 10000 bytes a second";
}

// One connection held to a tenth of the speed: the others split its
// segment and the task does not wait for it.
TEST_F(DownloadFromNginx, slow_connection_segment_is_split_by_the_fast_one) {
  const int32_t size = 409600;
  const std::string content = put("split.bin", random_bytes(static_cast<size_t>(size), 15));
  ScratchDirectory directory("split");
  Download download;
  // The first half comes at 100000 bytes a second (after a first second's
  // worth at once, as nginx sends), the range from 204800 at 20000: alone it
  // would take 10 s.
  download.set_url(url("/throttled/split.bin?slow=204800&rate=20000&probe=100000"));
  download.set_save_path(directory.file("split.bin"));
  download.param().ThreadCount = 2;
  const Outcome outcome = download.run();
  EXPECT_EQ(outcome.ended_value, size) << outcome.status_log();
  EXPECT_TRUE(read_file(directory.file("split.bin")) == content);
  EXPECT_LT(outcome.milliseconds, 7000u) << "the slow half alone takes 10 s";
  const auto switches = outcome.of(downlib::kSegmentSwitched);
  ASSERT_FALSE(switches.empty()) << "the fast worker took a split segment";
  EXPECT_GT(switches[0]->value1, 204800);
  EXPECT_EQ(switches[0]->value2, size);
}

// A server that answers every range with the whole file: the workers that
// asked for ranges fail with "出现错误", the first one reads the whole body.
TEST_F(DownloadFromNginx, server_that_ignores_ranges_still_gives_the_whole_file) {
  const int32_t size = 1000000;
  const std::string content = put("whole.bin", random_bytes(static_cast<size_t>(size), 16));
  ScratchDirectory directory("no-ranges");
  Download download;
  // The answer without a range comes at 200000 bytes a second (after the
  // first second's worth at once), so the other workers ask for theirs while
  // the first is still in its segment.
  download.set_url(url("/no-ranges/whole.bin?probe=200000"));
  download.set_save_path(directory.file("whole.bin"));
  download.param().ThreadCount = 4;
  const Outcome outcome = download.run();
  EXPECT_EQ(outcome.ended_value, size) << outcome.status_log();
  EXPECT_TRUE(read_file(directory.file("whole.bin")) == content);
  EXPECT_TRUE(outcome.has_status("出现错误", downlib::kError)) << outcome.status_log();
  EXPECT_GE(outcome.count(downlib::kWorkerFailed), 1);
  EXPECT_EQ(outcome.count(downlib::kWorkerDone), 1) << "the first worker ends normally";
}

// nginx takes the whole URL in the request line, so it serves as the proxy
// too; the URL's own host is a port nobody listens on.
TEST_F(DownloadFromNginx, download_through_a_proxy) {
  const std::string content = put("proxied.bin", random_bytes(100000, 17));
  ScratchDirectory directory("proxy");
  Download download;
  download.set_url("http://127.0.0.1:9/download/proxied.bin");
  download.set_save_path(directory.file("proxied.bin"));
  downlib::assign_text(download.param().Proxy, address().c_str());
  download.param().ThreadCount = 2;
  const Outcome outcome = download.run();
  EXPECT_EQ(outcome.ended_value, 100000) << outcome.status_log();
  EXPECT_TRUE(read_file(directory.file("proxied.bin")) == content);
  EXPECT_TRUE(outcome.has_status("正在连接代理服务器 [" + address() + "]", downlib::kProgress)) << outcome.status_log();
  bool proxied_probe = false;
  for (const Status& s : outcome.statuses) {
    proxied_probe |= s.level == downlib::kRequestSent &&
                     s.text ==
                         "GET http://127.0.0.1:9/download/proxied.bin HTTP/1.1\r\nHost: 127.0.0.1:9\r\n"
                         "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
                         "Proxy-Connection: Keep-Alive\r\n\r\n";
  }
  EXPECT_TRUE(proxied_probe) << outcome.status_log();
}

TEST_F(DownloadFromNginx, request_longer_than_its_area_is_refused) {
  ScratchDirectory directory("long");
  Download download;
  download.set_url(url("/download/" + std::string(1100, 'a') + ".bin"));
  download.set_save_path(directory.file("long.bin"));
  const Outcome outcome = download.run();
  EXPECT_TRUE(outcome.has_status("请求过长, 超出请求缓冲区", downlib::kError)) << outcome.status_log();
  EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 1);
  EXPECT_EQ(outcome.ended_value, 0);
}

TEST(DownloadStart, refused_urls_and_paths) {
  struct Case {
    const char* what;
    std::string url;
    std::string save_path;
  };
  const Case cases[] = {
      {"https", "https://127.0.0.1/a.bin", "a.bin"},
      {"no path", "http://127.0.0.1", "a.bin"},
      {"streaming", "mms://127.0.0.1/a", "a.bin"},
      {"bad port", "http://127.0.0.1:0/a.bin", "a.bin"},
      {"save path over 259 bytes", "http://127.0.0.1/a.bin", std::string(260, 'p')},
  };
  for (const Case& c : cases) {
    Download download;
    download.set_url(c.url);
    download.set_save_path(c.save_path);
    EXPECT_FALSE(download.call_start()) << c.what;
    EXPECT_EQ(download.object().task.load(), nullptr) << c.what;
  }
}

// Mode with bit 13: the task is created and kept, but never runs.
TEST(DownloadStart, held_task_is_kept_until_stop) {
  Download download;
  download.set_url("http://127.0.0.1:9/a.bin");
  download.set_save_path("a.bin");
  download.param().Mode = 0x2000;
  ASSERT_TRUE(download.call_start());
  void* state = nullptr;
  EXPECT_TRUE(download.call_get_state(&state));
  rt::release(state);
  download.call_stop();
  EXPECT_EQ(download.object().task.load(), nullptr);
  EXPECT_FALSE(download.call_get_state(&state));
}

}  // namespace
