#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "downlib/tests/scenario/plan.h"

// What one run of a scenario produced, gathered by the runner and judged
// against the plan by verdict.h.
namespace scenario {

struct StatusRecord {
  int worker = 0;  // 1 for the worker that appeared first, and so on; 0 for none
  int level = 0;
  std::string time;
  std::string text;
};

struct EventRecord {
  int32_t code = 0;
  int worker = 0;  // numbered as for statuses
  int32_t value1 = 0;
  int32_t value2 = 0;
};

struct FoundEntry {
  std::string name;  // GBK
  bool directory = false;
  std::string bytes;  // a file's content
};

struct TaskOutcome {
  std::string problem;   // why the task could not be run at all
  bool started = false;  // Start returned true
  bool ended = false;    // TaskEnded arrived in time
  std::vector<StatusRecord> statuses;
  std::vector<EventRecord> events;
  std::vector<std::string> late_callbacks;  // callbacks after TaskEnded, described
  std::vector<FoundEntry> target_entries;   // what the target directory holds
  std::vector<std::string> sandbox_strays;  // what lies beside the target directory
  std::vector<std::string> escaped_paths;   // paths that had to stay absent but exist
  std::vector<ReceivedRequest> requests;
  // FTP scenarios: the command lines of the sessions that named the
  // scenario's file, in arrival order; `ftp_problem` when they could not be read.
  std::vector<std::string> ftp_commands;
  std::string ftp_problem;
};

}  // namespace scenario
