#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A scenario as the scripted server hands it to the runner (its plan): the
// task to start, the requests the server must receive, and how the task must
// end. Texts are GBK; expected texts are patterns (text_pattern.h).
namespace scenario {

enum class StatusMode { Exact, Among, Absent };

struct StatusExpectation {
  int worker = 0;  // 0: the texts of all workers together
  StatusMode mode = StatusMode::Exact;
  int level = -1;  // -1: any level (Absent only)
  std::string pattern;
};

enum class EventRule { AtLeastOne, ExactlyOne, None };

struct EventExpectation {
  EventRule rule = EventRule::AtLeastOne;
  int32_t code = 0;
  std::vector<int32_t> values;  // value 1 must be one of these; empty: any
};

enum class FileContent { Body, Prefix };

struct FileExpectation {
  std::vector<std::string> names;  // any one of them
  FileContent content = FileContent::Body;
  size_t prefix = 0;
  bool may_be_absent = false;  // "or none": an empty target directory passes too
};

// A command line the FTP server must (or must not) have received from the
// scenario's sessions.
struct FtpCommandExpectation {
  bool absent = false;  // false: among the commands, in the order listed
  std::string pattern;
};

struct Plan {
  std::string name;
  std::map<std::string, std::optional<std::string>> params;  // TaskParam field -> text (nullopt: absent)
  std::string save_name;                                     // empty: the target directory itself
  std::string retry;                                         // "count,wait_ms"
  int timeout_ms = 30000;
  std::string body;
  std::map<std::string, std::string> requests;  // connection number or "*" -> exact bytes
  std::optional<std::pair<int, int>> connections;
  std::vector<StatusExpectation> statuses;
  std::vector<EventExpectation> events;
  std::vector<FileExpectation> files;
  bool no_files = false;
  std::vector<std::string> absent_paths;
  // FTP scenarios: the path the server's sessions name (the body's place
  // under its root) and what their commands must hold.
  std::string ftp_file;
  std::vector<FtpCommandExpectation> ftp_commands;

  // Connection `number`'s expected request: its own, else that of "*"; null when none is given.
  const std::string* expected_request(int number) const;
};

struct ParsedPlan {
  Plan plan;
  std::string problem;
  bool ok() const { return problem.empty(); }
};

ParsedPlan parse_plan(std::string_view text);

// The requests the server received, by connection, in arrival order.
struct ReceivedRequest {
  int connection = 0;
  std::string bytes;
};

struct ParsedRequests {
  std::vector<ReceivedRequest> requests;
  std::string problem;
  bool ok() const { return problem.empty(); }
};

ParsedRequests parse_requests(std::string_view text);

// The name the event has in scenario files ("SizeKnown"), or its number.
std::string event_name(int32_t code);

}  // namespace scenario
