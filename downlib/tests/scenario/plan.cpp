#include "downlib/tests/scenario/plan.h"

#include <cstdlib>

#include "downlib/task_param.h"
#include "downlib/tests/scenario/records.h"
#include "downlib/tests/scenario/text_pattern.h"

namespace scenario {
namespace {

bool parse_int(std::string_view text, int64_t& value) {
  if (text.empty() || text.size() > 12) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  value = text[0] == '-' ? -v : v;
  return true;
}

// One record of the plan into `plan`; an empty answer when it fits.
std::string apply(const Record& r, Plan& plan) {
  const std::vector<std::string>& w = r.words;
  const std::string& kind = w[0];
  int64_t number = 0;
  if (kind == "name" && w.size() == 1) {
    plan.name = r.payload;
  } else if (kind == "param" && w.size() == 2) {
    plan.params[w[1]] = r.payload;
  } else if (kind == "absent" && w.size() == 2) {
    plan.params[w[1]] = std::nullopt;
  } else if (kind == "save-path" && w.size() == 1) {
    plan.save_name = r.payload;
  } else if (kind == "retry" && w.size() == 1) {
    plan.retry = r.payload;
  } else if (kind == "timeout-ms" && w.size() == 1 && parse_int(r.payload, number) && number > 0) {
    plan.timeout_ms = static_cast<int>(number);
  } else if (kind == "body" && w.size() == 1) {
    plan.body = r.payload;
  } else if (kind == "request" && w.size() == 2) {
    plan.requests[w[1]] = r.payload;
  } else if (kind == "connections" && w.size() == 3) {
    int64_t low = 0, high = 0;
    if (!parse_int(w[1], low) || !parse_int(w[2], high)) return "connections needs two numbers";
    plan.connections = std::make_pair(static_cast<int>(low), static_cast<int>(high));
  } else if (kind == "status" && w.size() == 4) {
    StatusExpectation s;
    s.worker = w[1] == "all" ? 0 : std::atoi(w[1].c_str());
    if (w[2] == "exact") {
      s.mode = StatusMode::Exact;
    } else if (w[2] == "among") {
      s.mode = StatusMode::Among;
    } else if (w[2] == "absent") {
      s.mode = StatusMode::Absent;
    } else {
      return "unknown status mode " + w[2];
    }
    if (w[3] != "*" && (!parse_int(w[3], number) || number < 0 || number > 3)) return "bad status level " + w[3];
    s.level = w[3] == "*" ? -1 : static_cast<int>(number);
    s.pattern = r.payload;
    plan.statuses.push_back(std::move(s));
  } else if (kind == "event" && w.size() == 3) {
    EventExpectation e;
    if (w[1] == "some") {
      e.rule = EventRule::AtLeastOne;
    } else if (w[1] == "once") {
      e.rule = EventRule::ExactlyOne;
    } else if (w[1] == "no") {
      e.rule = EventRule::None;
    } else {
      return "unknown event rule " + w[1];
    }
    if (!parse_int(w[2], number)) return "bad event code " + w[2];
    e.code = static_cast<int32_t>(number);
    if (!r.payload.empty()) {
      for (const std::string& value : split_alternatives(r.payload)) {
        if (!parse_int(value, number)) return "bad event value " + value;
        e.values.push_back(static_cast<int32_t>(number));
      }
    }
    plan.events.push_back(std::move(e));
  } else if (kind == "file" && w.size() == 4) {
    FileExpectation f;
    f.names = split_alternatives(r.payload);
    f.content = w[1] == "prefix" ? FileContent::Prefix : FileContent::Body;
    if (!parse_int(w[2], number) || number < 0) return "bad file prefix " + w[2];
    f.prefix = static_cast<size_t>(number);
    f.may_be_absent = w[3] == "or-none";
    plan.files.push_back(std::move(f));
  } else if (kind == "no-files" && w.size() == 1) {
    plan.no_files = true;
  } else if (kind == "ftp-file" && w.size() == 1) {
    plan.ftp_file = r.payload;
  } else if (kind == "ftp-command" && w.size() == 2 && (w[1] == "among" || w[1] == "absent")) {
    plan.ftp_commands.push_back({w[1] == "absent", r.payload});
  } else if (kind == "absent-path" && w.size() == 1) {
    plan.absent_paths.push_back(r.payload);
  } else {
    return "unknown record \"" + kind + "\" with " + std::to_string(w.size() - 1) + " words";
  }
  return {};
}

}  // namespace

const std::string* Plan::expected_request(int number) const {
  auto own = requests.find(std::to_string(number));
  if (own != requests.end()) return &own->second;
  auto any = requests.find("*");
  return any != requests.end() ? &any->second : nullptr;
}

ParsedPlan parse_plan(std::string_view text) {
  ParsedPlan out;
  const Records records = read_records(text);
  if (!records.ok()) {
    out.problem = "plan: " + records.problem;
    return out;
  }
  if (records.records.empty() || records.records.back().words != std::vector<std::string>{"end"}) {
    out.problem = "plan: it does not end with its end record";
    return out;
  }
  for (size_t i = 0; i + 1 < records.records.size(); ++i) {
    const std::string problem = apply(records.records[i], out.plan);
    if (!problem.empty()) {
      out.problem = "plan record " + std::to_string(i + 1) + ": " + problem;
      return out;
    }
  }
  if (out.plan.name.empty()) out.problem = "plan: no name";
  return out;
}

ParsedRequests parse_requests(std::string_view text) {
  ParsedRequests out;
  const Records records = read_records(text);
  if (!records.ok()) {
    out.problem = "requests: " + records.problem;
    return out;
  }
  for (const Record& r : records.records) {
    int64_t number = 0;
    if (r.words.size() != 2 || r.words[0] != "request" || !parse_int(r.words[1], number)) {
      out.problem = "requests: a record that is not \"request <n>\"";
      return out;
    }
    out.requests.push_back({static_cast<int>(number), r.payload});
  }
  return out;
}

std::string event_name(int32_t code) {
  switch (code) {
    case downlib::kSizeKnown: return "SizeKnown";
    case downlib::kTaskEnded: return "TaskEnded";
    case downlib::kWorkerStarted: return "WorkerStarted";
    case downlib::kSegmentStarted: return "SegmentStarted";
    case downlib::kSegmentSwitched: return "SegmentSwitched";
    case downlib::kWorkerDone: return "WorkerDone";
    case downlib::kWorkerFailed: return "WorkerFailed";
    case downlib::kReceived: return "Received";
    case downlib::kFileExists: return "FileExists";
    default: return "event " + std::to_string(code);
  }
}

}  // namespace scenario
