// The scenario runner's own parts, which need no engine: plans read from the
// scripted server, text patterns, the sandbox, and the verdict that compares
// a run with its plan. Natively and under Wine.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "downlib/task_param.h"
#include "downlib/tests/scenario/plan.h"
#include "downlib/tests/scenario/records.h"
#include "downlib/tests/scenario/sandbox.h"
#include "downlib/tests/scenario/task_run.h"
#include "downlib/tests/scenario/text_pattern.h"
#include "downlib/tests/scenario/verdict.h"
#include "platform/path.h"
#include "platform/testing/display_text.h"
#include "platform/testing/environment.h"
#include "platform/testing/scripted_server.h"

namespace {

using scenario::EventRecord;
using scenario::Plan;
using scenario::StatusRecord;
using scenario::TaskOutcome;

const std::string kAnyNumber = "\x01N";
const std::string kAnyText =
    "\x01"
    "A";
const std::string kOr = "\x01|";

TEST(TextPattern, wildcards_and_alternatives_match_whole_texts) {
  struct Case {
    std::string pattern, text;
    bool matches;
  };
  const Case cases[] = {
      {"出现错误", "出现错误", true},
      {"出现错误", "出现错误 ", false},
      {"出现错误", "出现", false},
      {"等待" + kAnyNumber + "秒后重试", "等待5秒后重试", true},
      {"等待" + kAnyNumber + "秒后重试", "等待0秒后重试", true},
      {"等待" + kAnyNumber + "秒后重试", "等待-1秒后重试", true},
      {"等待" + kAnyNumber + "秒后重试", "等待秒后重试", false},
      {"等待" + kAnyNumber + "秒后重试", "等待5x秒后重试", false},
      {"返回号[" + kAnyNumber + "]", "返回号[503]", true},
      {kAnyText, "", true},
      {kAnyText + "过长", "HTTP返回头部信息过长", true},
      {kAnyText + "过长", "HTTP返回头部信息过长了", false},
      {"a" + kAnyText + "b" + kAnyText + "c", "a-b-b-c", true},
      {"a" + kAnyText + "b" + kAnyText + "c", "a-c-b", false},
      {"one" + kOr + "two", "two", true},
      {"one" + kOr + "two", "three", false},
      {"获得重定向信息错误" + kOr + "COOKIE过长或获得重定向信息错误或不支持的协议", "获得重定向信息错误", true},
      {"GET / HTTP/1.1\r\n\r\n", "GET / HTTP/1.1\r\n\r\n", true},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(scenario::pattern_matches(c.pattern, c.text), c.matches)
        << "case " << i << ": " << test_support::display_text(scenario::pattern_source(c.pattern)) << " against "
        << test_support::display_text(c.text);
  }
  EXPECT_EQ(scenario::pattern_source("a" + kAnyNumber + "b" + kOr + kAnyText), "a%N%b || %ANY%");
}

TEST(Records, lengths_are_checked_against_what_remains) {
  const scenario::Records good = scenario::read_records("name 3\nabc\nbody 4\na\nb\n\nend 0\n\n");
  ASSERT_TRUE(good.ok()) << good.problem;
  ASSERT_EQ(good.records.size(), 3u);
  EXPECT_EQ(good.records[1].payload, "a\nb\n");
  EXPECT_EQ(good.records[2].words, std::vector<std::string>{"end"});
  const char* const broken[] = {
      "name 3\nabc",          // no newline after the payload
      "name 30\nabc\n",       // longer than what remains
      "name 3\nabcd\n",       // the payload does not end where its length says
      "name three\nabc\n",    // no length
      "12\nabc\n",            // a length with no words
      "name 3",               // no line end
      "name 9999999999\n\n",  // absurd length
  };
  for (const char* text : broken) EXPECT_FALSE(scenario::read_records(text).ok()) << test_support::display_text(text);
}

TEST(LocalTimeText, the_four_forms_and_nothing_else) {
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {"2026年12月8日22时5分7秒", true},
      {"2026年12月8日22时5分", true},
      {"2026年12月8日22时", true},
      {"2026年12月8日", true},
      {"2026年12月8日22时5分7", false},
      {"2026年12月8日 22时", false},
      {"", false},
      {"12月8日", false},
      {"2026年12月8日22时5分7秒 ", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(scenario::is_local_time_text(c.text), c.valid) << test_support::display_text(c.text);
}

TEST(DisplayText, gbk_becomes_utf8_and_control_bytes_stay_visible) {
  EXPECT_EQ(test_support::display_text("连接 [a]\r\n\t\\\x01"), u8"连接 [a]\\r\\n\\t\\\\\\x01");
  EXPECT_EQ(test_support::display_text("\xFF\x30"), "\\xFF0");  // not a GBK pair
}

TEST(RetrySetting, reaches_the_c_runtime_and_the_system_alike) {
  for (const char* value : {"3,50", "999,20"}) {
    test_support::set_environment_variable(scenario::kRetrySettingVariable, value);
    const char* seen = std::getenv(scenario::kRetrySettingVariable);
    EXPECT_STREQ(seen ? seen : "(unset)", value);
#ifdef _WIN32
    char system_value[32] = "";
    GetEnvironmentVariableA(scenario::kRetrySettingVariable, system_value, sizeof system_value);
    EXPECT_STREQ(system_value, value);
#endif
  }
}

// A plan and a run that fit it; the verdict cases each break one thing.
Plan sample_plan() {
  Plan plan;
  plan.name = "sample";
  plan.body = "0123456789";
  plan.requests["1"] = "GET /a HTTP/1.1\r\n\r\n";
  plan.requests["*"] = "GET /a HTTP/1.1\r\nRange: bytes=5-\r\n\r\n";
  plan.connections = std::make_pair(2, 2);
  plan.statuses = {
      {0, scenario::StatusMode::Exact, 0, "正在连接 [127.0.0.1:80]"},
      {0, scenario::StatusMode::Exact, 0, "等待" + kAnyNumber + "秒后重试"},
      {0, scenario::StatusMode::Exact, 3, "出现错误"},
      {2, scenario::StatusMode::Among, 3, "出现错误"},
      {0, scenario::StatusMode::Absent, -1, kAnyText + "过长"},
  };
  plan.events = {
      {scenario::EventRule::ExactlyOne, downlib::kSizeKnown, {10}},
      {scenario::EventRule::AtLeastOne, downlib::kWorkerDone, {5, 10}},
      {scenario::EventRule::None, downlib::kWorkerFailed, {}},
  };
  scenario::FileExpectation file;
  file.names = {"a.zip", "b.zip"};
  plan.files = {file};
  plan.absent_paths = {"/etc/x"};
  return plan;
}

TaskOutcome fitting_outcome() {
  TaskOutcome outcome;
  outcome.started = outcome.ended = true;
  outcome.statuses = {{1, 0, "2026年1月2日3时", "正在连接 [127.0.0.1:80]"},
                      {2, 0, "2026年1月2日", "等待5秒后重试"},
                      {2, 3, "2026年1月2日3时4分5秒", "出现错误"}};
  outcome.events = {{downlib::kSizeKnown, 1, 10, 0},
                    {downlib::kReceived, 1, 5, 0},
                    {downlib::kWorkerDone, 1, 10, 0},
                    {downlib::kTaskEnded, 0, 10, 0}};
  outcome.target_entries = {{"b.zip", false, "0123456789"}};
  outcome.requests = {{1, "GET /a HTTP/1.1\r\n\r\n"}, {2, "GET /a HTTP/1.1\r\nRange: bytes=5-\r\n\r\n"}};
  return outcome;
}

std::string joined(const std::vector<std::string>& failures) {
  std::string out;
  for (const std::string& f : failures) out += "\n  " + f;
  return failures.empty() ? " none" : out;
}

TEST(Verdict, a_run_that_fits_its_plan_passes) {
  const std::vector<std::string> failures = scenario::judge(sample_plan(), fitting_outcome());
  EXPECT_TRUE(failures.empty()) << joined(failures);
}

TEST(Verdict, each_difference_is_one_message_naming_what_came_and_what_was_expected) {
  struct Case {
    const char* what;
    std::function<void(Plan&, TaskOutcome&)> change;
    const char* message;  // a part of the one failure message
  };
  const Case cases[] = {
      {"start failed", [](Plan&, TaskOutcome& o) { o.started = false; }, "Start returned false"},
      {"no end", [](Plan&, TaskOutcome& o) { o.ended = false; }, "no TaskEnded within"},
      {"a request byte", [](Plan&, TaskOutcome& o) { o.requests[1].bytes[7] = 'x'; },
       "request of connection 2 differs at byte 7"},
      {"one connection more",
       [](Plan&, TaskOutcome& o) {
         o.requests.push_back(o.requests[1]);
         o.requests[2].connection = 3;
       },
       "connections: got 3, expected 2"},
      {"a level", [](Plan&, TaskOutcome& o) { o.statuses[0].level = 1; }, "differ from text 1"},
      {"a text too many", [](Plan&, TaskOutcome& o) { o.statuses.push_back(o.statuses[0]); }, "differ from text 4"},
      {"a text missing among others", [](Plan&, TaskOutcome& o) { o.statuses[2].worker = 1; }, "never came"},
      {"a forbidden text",
       [](Plan& p, TaskOutcome& o) {
         o.statuses.push_back({1, 3, "2026年1月2日", "HTTP返回头部信息过长"});
         p.statuses.push_back({0, scenario::StatusMode::Exact, 3, kAnyText});
       },
       "that must not"},
      {"a bad time text", [](Plan&, TaskOutcome& o) { o.statuses[1].time = "3:04"; }, "is not a local time"},
      {"a second SizeKnown",
       [](Plan&, TaskOutcome& o) {
         o.events.insert(o.events.begin(), {downlib::kSizeKnown, 1, 10, 0});
       },
       "exactly one SizeKnown"},
      {"a wrong WorkerDone", [](Plan&, TaskOutcome& o) { o.events[2].value1 = 7; },
       "at least one WorkerDone with value 5 or 10"},
      {"a WorkerFailed",
       [](Plan&, TaskOutcome& o) {
         o.events.insert(o.events.begin() + 1, {downlib::kWorkerFailed, 1, 0, 0});
       },
       "expected no WorkerFailed"},
      {"TaskEnded not last",
       [](Plan&, TaskOutcome& o) {
         o.events.push_back({downlib::kReceived, 1, 1, 0});
       },
       "TaskEnded must come once, last"},
      {"a late callback", [](Plan&, TaskOutcome& o) { o.late_callbacks.push_back("Received of worker 1"); },
       "a callback after TaskEnded"},
      {"wrong bytes", [](Plan&, TaskOutcome& o) { o.target_entries[0].bytes[4] = 'x'; },
       "first difference at offset 4"},
      {"no file", [](Plan&, TaskOutcome& o) { o.target_entries.clear(); }, "expected a file"},
      {"a short prefix",
       [](Plan& p, TaskOutcome& o) {
         p.files[0].content = scenario::FileContent::Prefix;
         p.files[0].prefix = 8;
         o.target_entries[0].bytes.resize(6);
       },
       "expected the first 8 bytes"},
      {"one file more",
       [](Plan&, TaskOutcome& o) {
         o.target_entries.push_back({"c.zip", false, ""});
       },
       "also holds \"c.zip\""},
      {"a file where none may be",
       [](Plan& p, TaskOutcome&) {
         p.files.clear();
         p.no_files = true;
       },
       "must stay empty"},
      {"beside the target", [](Plan&, TaskOutcome& o) { o.sandbox_strays.push_back("x.zip"); }, "beside it: \"x.zip\""},
      {"above the target", [](Plan&, TaskOutcome& o) { o.escaped_paths.push_back("/etc/x"); }, "written outside"},
  };
  for (const Case& c : cases) {
    Plan plan = sample_plan();
    TaskOutcome outcome = fitting_outcome();
    c.change(plan, outcome);
    const std::vector<std::string> failures = scenario::judge(plan, outcome);
    ASSERT_EQ(failures.size(), 1u) << c.what << ":" << joined(failures);
    EXPECT_NE(failures[0].find(c.message), std::string::npos) << c.what << ": " << failures[0];
  }
}

TEST(Verdict, or_none_accepts_an_empty_target_but_not_a_wrong_file) {
  Plan plan = sample_plan();
  plan.statuses.clear();
  plan.files[0].may_be_absent = true;
  TaskOutcome outcome = fitting_outcome();
  outcome.target_entries.clear();
  EXPECT_TRUE(scenario::judge(plan, outcome).empty());
  outcome.target_entries = {{"..", false, "0123456789"}};
  EXPECT_EQ(scenario::judge(plan, outcome).size(), 2u) << "no a.zip/b.zip, and an unexpected file";
}

TEST(Verdict, ftp_commands_come_in_order_and_forbidden_ones_not_at_all) {
  Plan plan = sample_plan();
  plan.ftp_file = "s/x/file.zip";
  plan.ftp_commands = {
      {false, "TYPE I"}, {false, "REST " + kAnyNumber}, {false, "RETR s/x/file.zip"}, {true, "PORT" + kAnyText}};
  TaskOutcome outcome = fitting_outcome();
  outcome.ftp_commands = {"USER anonymous", "TYPE I", "REST 100", "REST 0", "PASV", "RETR s/x/file.zip"};
  EXPECT_TRUE(scenario::judge(plan, outcome).empty()) << joined(scenario::judge(plan, outcome));

  struct Case {
    const char* what;
    std::function<void(TaskOutcome&)> change;
    const char* message;
  };
  const Case cases[] = {
      {"out of order", [](TaskOutcome& o) { std::swap(o.ftp_commands[2], o.ftp_commands[5]); },
       "\"RETR s/x/file.zip\" never came"},
      {"missing", [](TaskOutcome& o) { o.ftp_commands.erase(o.ftp_commands.begin() + 2, o.ftp_commands.begin() + 4); },
       "\"REST %N%\" never came"},
      {"forbidden", [](TaskOutcome& o) { o.ftp_commands.push_back("PORT 127,0,0,1,4,5"); }, "that must not"},
      {"no server", [](TaskOutcome& o) { o.ftp_problem = "no test FTP server"; }, "FTP commands: no test FTP server"},
  };
  for (const Case& c : cases) {
    TaskOutcome changed = outcome;
    c.change(changed);
    const std::vector<std::string> failures = scenario::judge(plan, changed);
    ASSERT_EQ(failures.size(), 1u) << c.what << ":" << joined(failures);
    EXPECT_NE(failures[0].find(c.message), std::string::npos) << c.what << ": " << failures[0];
  }
}

TEST(Sandbox, shows_what_lands_in_and_beside_the_target) {
  const scenario::Sandbox sandbox(UPDATER_SCENARIO_WORK_DIR, "sandbox-self-test");
  ASSERT_TRUE(sandbox.ok()) << sandbox.problem();
  EXPECT_TRUE(sandbox.target_entries().empty());
  EXPECT_TRUE(sandbox.strays().empty());
  const std::string target = sandbox.target_directory();
  ASSERT_EQ(target.back(), '\\');
  const std::string gbk_name = "霁川.zip";
#ifdef _WIN32
  const std::filesystem::path inside(platform::wide_path(target + gbk_name));
  const std::filesystem::path beside(platform::wide_path(target + "..\\beside.zip"));
#else
  const std::filesystem::path inside(platform::native_path(target + gbk_name));
  const std::filesystem::path beside(platform::native_path(target + "..\\beside.zip"));
#endif
  std::ofstream(inside, std::ios::binary) << "abc";
  std::ofstream(beside, std::ios::binary) << "x";
  const std::vector<scenario::FoundEntry> entries = sandbox.target_entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, gbk_name);
  EXPECT_EQ(entries[0].bytes, "abc");
  EXPECT_EQ(sandbox.strays(), std::vector<std::string>{"beside.zip"});
  // A new sandbox of the same name starts empty again.
  const scenario::Sandbox again(UPDATER_SCENARIO_WORK_DIR, "sandbox-self-test");
  EXPECT_TRUE(again.target_entries().empty());
  EXPECT_TRUE(again.strays().empty());
}

class ScriptedServerPlan : public ::testing::Test {
 protected:
  void SetUp() override {
    m_server = test_support::find_scripted_server();
    ASSERT_TRUE(m_server.running()) << m_server.problem;
  }
  test_support::ScriptedServer m_server;
};

TEST_F(ScriptedServerPlan, plans_arrive_whole_with_gbk_texts_that_match_this_program_literals) {
  const test_support::ControlAnswer reset = m_server.control("reset/probe-request-direct");
  ASSERT_TRUE(reset.ok()) << reset.problem;
  const scenario::ParsedPlan parsed = scenario::parse_plan(reset.body);
  ASSERT_TRUE(parsed.ok()) << parsed.problem;
  const Plan& plan = parsed.plan;
  const std::string port = std::to_string(m_server.port);
  EXPECT_EQ(plan.name, "probe-request-direct");
  EXPECT_EQ(plan.params.at("Url"), m_server.url("/s/probe-request-direct/file.zip"));
  EXPECT_EQ(plan.params.at("ThreadCount"), "4");
  EXPECT_EQ(plan.save_name, "");
  EXPECT_EQ(plan.body.size(), 10000u);
  ASSERT_NE(plan.expected_request(1), nullptr);
  EXPECT_EQ(plan.expected_request(1)->substr(0, 48), "GET /s/probe-request-direct/file.zip HTTP/1.1\r\nH");
  EXPECT_EQ(plan.expected_request(2), nullptr);
  ASSERT_GE(plan.statuses.size(), 2u);
  // The server encodes the file's UTF-8 as GBK; this program's literals are GBK too.
  EXPECT_EQ(plan.statuses[0].pattern, "正在连接 [127.0.0.1:" + port + "]");
  EXPECT_EQ(plan.statuses[1].pattern, "连接 [127.0.0.1:" + port + "]成功");
  EXPECT_EQ(plan.connections, std::make_pair(1, 1));
}

TEST_F(ScriptedServerPlan, a_connection_gets_the_scenario_answer_and_its_request_is_kept_byte_for_byte) {
  const scenario::ParsedPlan parsed = scenario::parse_plan(m_server.control("reset/ranged-open-request").body);
  ASSERT_TRUE(parsed.ok()) << parsed.problem;
  const std::string first = "GET /s/ranged-open-request/file.zip HTTP/1.1\r\nHost: here\r\n\r\n";
  const test_support::LoopbackReply one = test_support::loopback_exchange(m_server.port, first);
  ASSERT_TRUE(one.ok()) << one.problem;
  EXPECT_EQ(one.data, "HTTP/1.1 200 OK\r\nContent-Length: 60000\r\n\r\n" + parsed.plan.body);
  const std::string& second = *parsed.plan.expected_request(2);
  const test_support::LoopbackReply two = test_support::loopback_exchange(m_server.port, second);
  ASSERT_TRUE(two.ok()) << two.problem;
  const std::string partial = "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 30000-59999/60000\r\n";
  EXPECT_EQ(two.data.substr(0, partial.size()), partial);
  EXPECT_EQ(two.data.substr(two.data.size() - 30000), parsed.plan.body.substr(30000));

  const scenario::ParsedRequests kept = scenario::parse_requests(m_server.control("requests/ranged-open-request").body);
  ASSERT_TRUE(kept.ok()) << kept.problem;
  ASSERT_EQ(kept.requests.size(), 2u);
  EXPECT_EQ(kept.requests[0].connection, 1);
  EXPECT_EQ(kept.requests[0].bytes, first);
  EXPECT_EQ(kept.requests[1].connection, 2);
  EXPECT_EQ(kept.requests[1].bytes, second);
}

TEST_F(ScriptedServerPlan, unknown_scenarios_are_refused_with_a_reason) {
  const test_support::ControlAnswer answer = m_server.control("reset/no-such-scenario");
  EXPECT_EQ(answer.status, 404);
  EXPECT_NE(answer.problem.find("no scenario 'no-such-scenario'"), std::string::npos) << answer.problem;
}

}  // namespace
