// Plays every download fault scenario (downlib/tests/scenarios/*.scenario)
// against the scripted server: the server says what each connection gets
// and keeps the requests; the engine runs the task through the library's
// commands; the plan says how the task must end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "downlib/tests/scenario/plan.h"
#include "downlib/tests/scenario/sandbox.h"
#include "downlib/tests/scenario/task_run.h"
#include "downlib/tests/scenario/verdict.h"
#include "platform/testing/ftp_server.h"
#include "platform/testing/scripted_server.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Wine (8.0) reports a reset that arrives while the program is not waiting
// in a receive as an orderly close to every later receive, plain, after
// select or overlapped alike; Windows and the native build report the reset.
// A scenario that expects the reset's own text cannot be played there.
bool resets_reach_the_program() {
#ifdef _WIN32
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
#else
  return true;
#endif
}

bool expects_a_reset(const scenario::Plan& plan) {
  const std::string reset_text = "远程主机强迫关闭了一个现有的连接。";
  return std::any_of(plan.statuses.begin(), plan.statuses.end(), [&](const scenario::StatusExpectation& status) {
    return status.pattern.find(reset_text) != std::string::npos;
  });
}

// The scenario files CMake found, as "a,b,c".
std::vector<std::string> scenario_names() {
  std::vector<std::string> names;
  const std::string list = UPDATER_SCENARIO_NAMES;
  size_t start = 0;
  while (start < list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    names.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, ends_as_its_file_says) {
  const std::string& name = GetParam();
  const test_support::ScriptedServer server = test_support::find_scripted_server();
  ASSERT_TRUE(server.running()) << server.problem;
  const test_support::ControlAnswer reset = server.control("reset/" + name);
  ASSERT_TRUE(reset.ok()) << "scenario " << name << ": " << reset.problem;
  const scenario::ParsedPlan parsed = scenario::parse_plan(reset.body);
  ASSERT_TRUE(parsed.ok()) << "scenario " << name << ": " << parsed.problem;
  const scenario::Plan& plan = parsed.plan;
  if (expects_a_reset(plan) && !resets_reach_the_program())
    GTEST_SKIP() << "scenario " << name << " needs resets reported as resets, which Wine does not do";

  const scenario::Sandbox sandbox(UPDATER_SCENARIO_WORK_DIR, name);
  ASSERT_TRUE(sandbox.ok()) << "scenario " << name << ": " << sandbox.problem();
  for (const std::string& path : plan.absent_paths)
    ASSERT_FALSE(scenario::path_exists(scenario::program_form_of_plan_path(path)))
        << "scenario " << name << ": " << path << " exists before the run; remove it first";

  // An FTP scenario's commands are those the FTP server logs from here on.
  const test_support::FtpServer ftp =
      plan.ftp_file.empty() ? test_support::FtpServer{} : test_support::find_ftp_server();
  const size_t ftp_log_start = ftp.running() ? ftp.log_size() : 0;

  scenario::TaskOutcome outcome = scenario::run_task(plan, sandbox.target_directory());
  if (!plan.ftp_file.empty()) {
    if (!ftp.running()) outcome.ftp_problem = ftp.problem;
    for (const test_support::FtpCommand& command : ftp.sessions_naming(plan.ftp_file, ftp_log_start))
      outcome.ftp_commands.push_back(command.line);
  }
  outcome.target_entries = sandbox.target_entries();
  outcome.sandbox_strays = sandbox.strays();
  for (const std::string& path : plan.absent_paths) {
    const std::string program_path = scenario::program_form_of_plan_path(path);
    if (!scenario::path_exists(program_path)) continue;
    outcome.escaped_paths.push_back(program_path);
    scenario::remove_path(program_path);  // it did not exist before the run: the task made it
  }
  const test_support::ControlAnswer requests = server.control("requests/" + name);
  ASSERT_TRUE(requests.ok()) << "scenario " << name << ": " << requests.problem;
  const scenario::ParsedRequests received = scenario::parse_requests(requests.body);
  ASSERT_TRUE(received.ok()) << "scenario " << name << ": " << received.problem;
  outcome.requests = received.requests;

  for (const std::string& failure : scenario::judge(plan, outcome))
    ADD_FAILURE() << "scenario " << name << ": " << failure;
}

INSTANTIATE_TEST_SUITE_P(Files, Scenario, ::testing::ValuesIn(scenario_names()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string id = info.param;
                           for (char& c : id)
                             if (c == '-') c = '_';
                           return id;
                         });

}  // namespace
