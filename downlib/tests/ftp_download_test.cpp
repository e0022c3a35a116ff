// Whole FTP downloads from the local pyftpdlib through the library's
// commands: bytes, segments from REST positions, credentials, paths,
// transfer types, passive and active data connections. The commands the
// server logged show what the engine sent. Fault cases with their exact
// status texts are scenario files (tests/scenarios/ftp-*.scenario).

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "downlib/download_library.h"
#include "downlib/ftp/ftp_transfer.h"
#include "downlib/testing/retry_override.h"
#include "downlib/tests/download_harness.h"
#include "platform/testing/ftp_server.h"

namespace {

using namespace downlib_test;
using test_support::FtpCommand;

class DownloadFromPyftpdlib : public ::testing::Test {
 protected:
  void SetUp() override {
    m_server = test_support::find_ftp_server();
    ASSERT_TRUE(m_server.running()) << m_server.problem;
    downlib::testing::set_retry_override(2, 50);
    m_log_start = m_server.log_size();
  }
  void TearDown() override { downlib::testing::clear_retry_override(); }

  std::string put(const std::string& relative, const std::string& bytes) {
    EXPECT_TRUE(m_server.write_file(relative, bytes)) << relative;
    return bytes;
  }
  // The commands of this test's sessions that named `needle`.
  std::vector<FtpCommand> sessions_naming(const std::string& needle) const {
    return m_server.sessions_naming(needle, m_log_start);
  }
  static bool has(const std::vector<FtpCommand>& commands, const std::string& line) {
    return std::any_of(commands.begin(), commands.end(), [&](const FtpCommand& c) { return c.line == line; });
  }
  static int count_starting(const std::vector<FtpCommand>& commands, const std::string& prefix) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const FtpCommand& c) { return c.line.rfind(prefix, 0) == 0; }));
  }

  test_support::FtpServer m_server;
  size_t m_log_start = 0;
};

std::vector<std::pair<int32_t, int32_t>> even_plan(int32_t size, int32_t count) {
  std::vector<std::pair<int32_t, int32_t>> plan;
  for (int32_t i = 0; i < count; ++i)
    plan.emplace_back(size / count * i, i + 1 == count ? size - size / count * i : size / count);
  return plan;
}

void expect_plan(const Outcome& outcome, const std::vector<std::pair<int32_t, int32_t>>& plan,
                 const std::string& what) {
  ASSERT_FALSE(outcome.state_at_size_known.empty()) << what << ": no snapshot at SizeKnown";
  ASSERT_EQ(outcome.state_value(3, 0), static_cast<int32_t>(plan.size())) << what << ": segment count";
  for (size_t i = 0; i < plan.size(); ++i) {
    const auto index = static_cast<int32_t>(i + 1);
    EXPECT_EQ(outcome.state_value(4, index), plan[i].first) << what << ", segment " << index << " start";
    EXPECT_EQ(outcome.state_value(5, index), plan[i].second) << what << ", segment " << index << " length";
  }
}

// On a fast peer the first worker may have finished its segment before the
// snapshot, and split another: the planned segments keep their starts, and
// the lengths of all records still add up to the file.
void expect_planned_starts(const Outcome& outcome, int32_t size, int32_t count, const std::string& what) {
  ASSERT_FALSE(outcome.state_at_size_known.empty()) << what << ": no snapshot at SizeKnown";
  const int32_t records = outcome.state_value(3, 0);
  ASSERT_GE(records, count) << what << ": segment count";
  int64_t lengths = 0;
  for (int32_t index = 1; index <= records; ++index) {
    if (index <= count) {
      EXPECT_EQ(outcome.state_value(4, index), size / count * (index - 1)) << what << ", segment " << index;
    }
    lengths += outcome.state_value(5, index);
  }
  EXPECT_EQ(lengths, size) << what;
}

TEST_F(DownloadFromPyftpdlib, files_arrive_whole_over_1_and_4_connections_passive_and_active) {
  constexpr int32_t kSize = 6 * 1024 * 1024 + 3;
  struct Case {
    const char* variant;
    int32_t threads;
    bool active;
  };
  const Case cases[] = {{"plain", 1, false}, {"plain", 4, false}, {"no-pasv", 1, true}, {"no-pasv", 4, true}};
  const std::string content = put("whole/big.bin", random_bytes(kSize, 31));
  for (const Case& c : cases) {
    const std::string what = std::string(c.variant) + ", ThreadCount " + std::to_string(c.threads);
    const size_t log_start = m_server.log_size();
    ScratchDirectory directory("ftp-whole");
    Download download;
    download.set_url(m_server.url(c.variant, "/whole/big.bin"));
    download.set_save_path(directory.file("big.bin"));
    download.param().ThreadCount = c.threads;
    const Outcome outcome = download.run(120000);
    ASSERT_TRUE(outcome.ended) << what;
    EXPECT_EQ(outcome.ended_value, kSize) << what << "\n" << outcome.status_log();
    EXPECT_TRUE(read_file(directory.file("big.bin")) == content) << what << ": the bytes differ";
    EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 0) << what << "\n" << outcome.status_log();
    EXPECT_EQ(outcome.final_state_value(2, 0), kSize) << what << ": bytes done";
    expect_planned_starts(outcome, kSize, c.threads, what);

    const auto commands = m_server.sessions_naming("whole/big.bin", log_start);
    const int sessions = count_starting(commands, "RETR ");
    EXPECT_GE(sessions, 1) << what;
    EXPECT_EQ(count_starting(commands, "PORT "), c.active ? sessions : 0) << what << "\n"
                                                                          << test_support::command_list(commands);
    // Passive comes first in every session until it has failed once.
    EXPECT_EQ(count_starting(commands, "PASV"), c.active ? 1 : sessions) << what;
  }
}

TEST_F(DownloadFromPyftpdlib, segments_are_opened_at_their_starts_with_rest) {
  // 64 KiB a second per connection: every segment is still waiting when its
  // worker starts, so each one is opened with REST at its own start.
  constexpr int32_t kSize = 4 * 96 * 1024;
  const std::string content = put("rest/slow.bin", random_bytes(kSize, 32));
  ScratchDirectory directory("ftp-rest");
  Download download;
  download.set_url(m_server.url("slow", "/rest/slow.bin"));
  download.set_save_path(directory.file("slow.bin"));
  download.param().ThreadCount = 4;
  const Outcome outcome = download.run(60000);
  EXPECT_EQ(outcome.ended_value, kSize) << outcome.status_log();
  EXPECT_TRUE(read_file(directory.file("slow.bin")) == content);
  const auto plan = even_plan(kSize, 4);
  expect_plan(outcome, plan, "slow, ThreadCount 4");

  const auto commands = sessions_naming("rest/slow.bin");
  std::set<int> sessions;
  for (const auto& [start, length] : plan) {
    if (start == 0) continue;
    const auto rest = std::find_if(commands.begin(), commands.end(),
                                   [&](const FtpCommand& c) { return c.line == "REST " + std::to_string(start); });
    ASSERT_NE(rest, commands.end()) << "no REST " << start << " in\n" << test_support::command_list(commands);
    sessions.insert(rest->session);
    // Its RETR follows in the same session.
    EXPECT_TRUE(
        std::any_of(rest, commands.end(),
                    [&](const FtpCommand& c) { return c.session == rest->session && c.line == "RETR rest/slow.bin"; }))
        << "REST " << start;
  }
  EXPECT_EQ(sessions.size(), 3u) << "each segment in a session of its own";
  // The restart check of every session: REST 100, then REST 0.
  EXPECT_EQ(count_starting(commands, "REST 100"), count_starting(commands, "REST 0"));
  EXPECT_GE(count_starting(commands, "REST 100"), 4);
}

TEST_F(DownloadFromPyftpdlib, url_credentials_win_over_user_name_and_password) {
  const std::string content = put("login/who.bin", random_bytes(5000, 33));
  struct Case {
    const char* user_info;
    const char* user_name;
    const char* password;
  };
  const Case cases[] = {
      {"fixture:secret", "anonymous", "wrong"},  // both from the URL
      {"fixture:secret", "fixture", "wrong"},
      {"fixture", "someone", "secret"},  // a user alone: the password is Password's
  };
  for (const Case& c : cases) {
    const size_t log_start = m_server.log_size();
    ScratchDirectory directory("ftp-login");
    Download download;
    download.set_url(m_server.url("plain", "/login/who.bin", c.user_info));
    download.set_save_path(directory.file("who.bin"));
    downlib::assign_text(download.param().UserName, c.user_name);
    downlib::assign_text(download.param().Password, c.password);
    const Outcome outcome = download.run();
    EXPECT_EQ(outcome.ended_value, 5000) << c.user_info << "\n" << outcome.status_log();
    EXPECT_TRUE(read_file(directory.file("who.bin")) == content) << c.user_info;
    EXPECT_TRUE(outcome.has_status("PASS ******", downlib::kRequestSent)) << "the password is never shown";
    const auto commands = m_server.sessions_naming("login/who.bin", log_start);
    EXPECT_TRUE(has(commands, "USER fixture")) << c.user_info << "\n" << test_support::command_list(commands);
    EXPECT_TRUE(has(commands, "PASS secret")) << c.user_info;
    EXPECT_EQ(count_starting(commands, "USER "), 1) << c.user_info;
  }

  // Without user information, UserName and Password log in.
  ScratchDirectory directory("ftp-login");
  Download download;
  download.set_url(m_server.url("plain", "/login/who.bin"));
  download.set_save_path(directory.file("who.bin"));
  downlib::assign_text(download.param().UserName, "fixture");
  downlib::assign_text(download.param().Password, "secret");
  EXPECT_EQ(download.run().ended_value, 5000);
}

TEST_F(DownloadFromPyftpdlib, percent_20_and_plus_are_requested_as_spaces) {
  const std::string content = put("with space/a b.zip", random_bytes(30000, 34));
  for (const char* path : {"/with%20space/a+b.zip", "/with+space/a%20b.zip", "/with%20space/a%20b.zip"}) {
    const size_t log_start = m_server.log_size();
    ScratchDirectory directory("ftp-spaces");
    Download download;
    download.set_url(m_server.url("plain", path));
    download.set_save_path(directory.file("a b.zip"));
    download.param().ThreadCount = 2;
    const Outcome outcome = download.run();
    EXPECT_EQ(outcome.ended_value, 30000) << path << "\n" << outcome.status_log();
    EXPECT_TRUE(read_file(directory.file("a b.zip")) == content) << path;
    const auto commands = m_server.sessions_naming("with space/a b.zip", log_start);
    EXPECT_TRUE(has(commands, "SIZE with space/a b.zip")) << path << "\n" << test_support::command_list(commands);
    EXPECT_TRUE(has(commands, "RETR with space/a b.zip")) << path;
  }
}

TEST_F(DownloadFromPyftpdlib, transfer_type_follows_the_setting_and_the_extension) {
  // CR LF line ends: text mode sends these bytes unchanged.
  const std::string text = "first line\r\nsecond line\r\n";
  put("types/notes.txt", text);
  put("types/notes.zip", text);
  put("types/upper.ZIP", text);  // another name: under Wine the file names ignore case
  struct Case {
    int32_t transfer_type;
    const char* name;
    const char* extensions;  // null: the default list
    const char* expected;
  };
  const Case cases[] = {
      {3, "notes.zip", nullptr, "TYPE I"},     {3, "notes.txt", nullptr, "TYPE A"},
      {3, "upper.ZIP", nullptr, "TYPE A"},  // compared case-sensitively
      {3, "notes.txt", ".txt|.zip", "TYPE I"}, {1, "notes.txt", nullptr, "TYPE I"},
      {2, "notes.zip", nullptr, "TYPE A"},
  };
  for (const Case& c : cases) {
    const std::string what = "TransferType " + std::to_string(c.transfer_type) + ", " + c.name;
    const size_t log_start = m_server.log_size();
    ScratchDirectory directory("ftp-types");
    Download download;
    download.set_url(m_server.url("plain", std::string("/types/") + c.name));
    download.set_save_path(directory.path());
    download.param().TransferType = c.transfer_type;
    if (c.extensions) downlib::assign_text(download.param().BinaryExtensions, c.extensions);
    const Outcome outcome = download.run();
    EXPECT_EQ(outcome.ended_value, static_cast<int32_t>(text.size())) << what << "\n" << outcome.status_log();
    EXPECT_EQ(read_file(directory.file(c.name)), text) << what;
    EXPECT_TRUE(outcome.has_status(c.expected, downlib::kReplyReceived)) << what << ": reported at level 2";
    // Sizes and restart positions are asked for in binary mode; the type
    // that counts is the last one before RETR.
    const auto commands = m_server.sessions_naming(std::string("types/") + c.name, log_start);
    const auto retrieve = std::find_if(commands.begin(), commands.end(),
                                       [](const FtpCommand& command) { return command.line.rfind("RETR ", 0) == 0; });
    const auto last_type = std::find_if(std::make_reverse_iterator(retrieve), commands.rend(),
                                        [](const FtpCommand& command) { return command.line.rfind("TYPE ", 0) == 0; });
    ASSERT_NE(last_type, commands.rend()) << what << "\n" << test_support::command_list(commands);
    EXPECT_EQ(last_type->line, c.expected) << what << "\n" << test_support::command_list(commands);
    EXPECT_EQ(commands.front().line.rfind("USER ", 0), 0u);
    EXPECT_EQ(commands[2].line, "TYPE I") << "binary mode right after the login\n"
                                          << test_support::command_list(commands);
  }
}

TEST_F(DownloadFromPyftpdlib, a_passive_reply_naming_another_host_still_downloads_from_the_server) {
  // The masquerading server names 127.0.0.2 in its 227 replies, where
  // nothing listens: the data connections go to 127.0.0.1 all the same.
  constexpr int32_t kSize = 300000;
  const std::string content = put("masquerade/file.bin", random_bytes(kSize, 35));
  ScratchDirectory directory("ftp-masquerade");
  Download download;
  download.set_url(m_server.url("masquerade", "/masquerade/file.bin"));
  download.set_save_path(directory.file("file.bin"));
  download.param().ThreadCount = 3;
  const Outcome outcome = download.run();
  EXPECT_EQ(outcome.ended_value, kSize) << outcome.status_log();
  EXPECT_TRUE(read_file(directory.file("file.bin")) == content);
  bool named_other_host = false;
  for (const Status& s : outcome.statuses)
    named_other_host |= s.text.rfind("227 Entering passive mode (127,0,0,2,", 0) == 0;
  EXPECT_TRUE(named_other_host) << outcome.status_log();
  const auto commands = sessions_naming("masquerade/file.bin");
  EXPECT_EQ(count_starting(commands, "PORT "), 0) << "passive mode served\n" << test_support::command_list(commands);
  EXPECT_EQ(outcome.count(downlib::kWorkerFailed), 0);
}

TEST_F(DownloadFromPyftpdlib, urls_with_a_broken_percent_or_a_line_break_are_refused) {
  for (const char* path : {"/a%zz.bin", "/a%2", "/a%", "/a%0D%0ADELE%20b.bin", "/a%0Ab.bin", "/a%00.bin"}) {
    Download download;
    download.set_url(m_server.url("plain", path));
    download.set_save_path("unused.bin");
    EXPECT_FALSE(download.call_start()) << path;
  }
  EXPECT_TRUE(m_server.sessions_naming("DELE", m_log_start).empty());
}

}  // namespace

namespace {

// A worker's side of the protocol steps, for driving FTP sessions by hand.
class RecordingContext final : public downlib::engine::StepContext {
 public:
  void report(int32_t level, std::string text) override { m_log += "  [" + std::to_string(level) + "] " + text + "\n"; }
  const std::atomic<bool>* stop_flag() const override { return &m_stop; }
  const downlib::engine::Timeouts& timeouts() const override { return m_timeouts; }
  const std::string& log() const { return m_log; }
  bool said(const std::string& text) const { return m_log.find("] " + text + "\n") != std::string::npos; }

 private:
  std::atomic<bool> m_stop{false};
  downlib::engine::Timeouts m_timeouts{5000, 5000, 5000};
  std::string m_log;
};

// Everything the session's data connection delivers until the server closes it.
std::string read_body(downlib::engine::Session& session) {
  std::string out;
  char buffer[65536];
  for (;;) {
    const auto got = session.body().receive(buffer, sizeof buffer, 5000, 1, nullptr);
    out.append(buffer, static_cast<size_t>(got.count));
    if (got.status != 0) return out;
  }
}

class FtpSessions : public DownloadFromPyftpdlib {
 protected:
  std::unique_ptr<downlib::ftp::FtpProtocol> protocol(const std::string& variant, const std::string& path,
                                                      int32_t transfer_type = 1, const char* password = nullptr) {
    const uint16_t port = m_server.port(variant);
    downlib::ftp::FtpParameters parameters;
    parameters.transfer_type = transfer_type;
    if (password) parameters.password = password;
    auto block = downlib::ftp::make_ftp_block("127.0.0.1:" + std::to_string(port), port, path, parameters);
    EXPECT_TRUE(block);
    return std::make_unique<downlib::ftp::FtpProtocol>(std::move(*block));
  }
};

TEST_F(FtpSessions, after_an_active_mode_worker_ends_later_opens_still_set_up_a_data_connection) {
  using downlib::engine::OpenResult;
  const std::string content = put("mode/after-active.bin", random_bytes(200000, 36));
  const auto ftp = protocol("no-pasv", "/mode/after-active.bin");
  RecordingContext context;

  // The first worker: PASV refused, the task goes active, the file arrives.
  auto first = ftp->new_session();
  downlib::engine::ProbeResult probe;
  downlib::engine::OpenedBody body;
  ASSERT_EQ(first->probe(context, probe, body), OpenResult::Success) << context.log();
  EXPECT_EQ(probe.total_size, 200000);
  EXPECT_EQ(ftp->data_mode(), downlib::ftp::DataMode::Active);
  EXPECT_TRUE(read_body(*first) == content);
  first->end(context, downlib::engine::Session::Ending::Normal);
  EXPECT_TRUE(context.said("226 Transfer complete.")) << "the last reply is read at the end\n" << context.log();
  EXPECT_EQ(ftp->data_mode(), downlib::ftp::DataMode::Active) << "the end leaves the mode as it was";

  // Later opens, by a new worker and by the one that ended, each get a data
  // connection of their own, from their position, in active mode.
  auto second = ftp->new_session();
  ASSERT_EQ(second->open_at(context, 150000, 200000, downlib::engine::WholeBody::Refuse, body), OpenResult::Success)
      << context.log();
  EXPECT_TRUE(read_body(*second) == content.substr(150000));
  second->end(context, downlib::engine::Session::Ending::Normal);
  ASSERT_EQ(first->open_at(context, 99999, 200000, downlib::engine::WholeBody::Refuse, body), OpenResult::Success)
      << context.log();
  EXPECT_TRUE(read_body(*first) == content.substr(99999));
  first->end(context, downlib::engine::Session::Ending::Stopped);

  const auto commands = sessions_naming("mode/after-active.bin");
  EXPECT_EQ(count_starting(commands, "PASV"), 1) << test_support::command_list(commands);
  EXPECT_EQ(count_starting(commands, "PORT "), 3) << test_support::command_list(commands);
  EXPECT_TRUE(has(commands, "REST 150000"));
  EXPECT_TRUE(has(commands, "REST 99999"));
}

TEST_F(FtpSessions, a_ranged_open_refuses_a_server_that_cannot_restart) {
  using downlib::engine::OpenResult;
  put("mode/no-rest.bin", random_bytes(50000, 37));
  RecordingContext context;
  downlib::engine::OpenedBody body;
  for (const char* variant : {"no-rest", "rest-no-word"}) {
    const auto ftp = protocol(variant, "/mode/no-rest.bin");
    auto session = ftp->new_session();
    EXPECT_EQ(session->open_at(context, 25000, 50000, downlib::engine::WholeBody::Refuse, body), OpenResult::Fail)
        << variant << "\n"
        << context.log();
    EXPECT_TRUE(context.said("该站点不支持断点续传")) << variant;
    EXPECT_FALSE(session->body().is_open()) << variant;
  }
  EXPECT_EQ(count_starting(sessions_naming("mode/no-rest.bin"), "RETR "), 0);
}

TEST_F(FtpSessions, a_position_the_server_does_not_take_fails_the_open_before_retr) {
  // pyftpdlib refuses REST in text mode; RETR would then send the file from
  // byte 0 into the middle of the target.
  using downlib::engine::OpenResult;
  put("mode/text.txt", "line\r\n");
  RecordingContext context;
  downlib::engine::OpenedBody body;
  // Its own password marks this test's sessions in the log, also those that never name the file.
  const auto ftp = protocol("plain", "/mode/text.txt", 2, "text-mode@sessions");
  auto session = ftp->new_session();
  EXPECT_EQ(session->open_at(context, 3, 6, downlib::engine::WholeBody::Refuse, body), OpenResult::Fail)
      << context.log();
  EXPECT_TRUE(context.said("该站点不支持断点续传")) << context.log();
  const auto commands = sessions_naming("PASS text-mode@sessions");
  EXPECT_TRUE(has(commands, "TYPE A")) << test_support::command_list(commands);
  EXPECT_TRUE(has(commands, "REST 3"));
  EXPECT_EQ(count_starting(commands, "RETR "), 0);
  // From byte 0 the same open goes ahead.
  EXPECT_EQ(session->open_at(context, 0, 6, downlib::engine::WholeBody::Refuse, body), OpenResult::Success)
      << context.log();
  EXPECT_EQ(read_body(*session), "line\r\n");
  EXPECT_EQ(count_starting(sessions_naming("PASS text-mode@sessions"), "RETR "), 1);
}

}  // namespace
