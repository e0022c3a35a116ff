#include "downlib/tests/scenario/verdict.h"

#include <algorithm>
#include <utility>

#include "downlib/task_param.h"
#include "downlib/tests/scenario/text_pattern.h"
#include "platform/testing/display_text.h"

namespace scenario {
namespace {

constexpr size_t kShownBytes = 240;

std::string shown(std::string_view gbk) {
  if (gbk.size() <= kShownBytes) return "\"" + test_support::display_text(gbk) + "\"";
  return "\"" + test_support::display_text(gbk.substr(0, kShownBytes)) + "\"... (" + std::to_string(gbk.size()) +
         " bytes)";
}

std::string shown_status(int level, std::string_view text) { return "[" + std::to_string(level) + "] " + shown(text); }

std::string shown_expectation(const StatusExpectation& e) {
  return "[" + (e.level < 0 ? std::string("*") : std::to_string(e.level)) + "] " + shown(pattern_source(e.pattern));
}

std::string list_of(const std::vector<const StatusRecord*>& statuses) {
  if (statuses.empty()) return "    (none)\n";
  std::string out;
  for (size_t i = 0; i < statuses.size(); ++i)
    out += "    " + std::to_string(i + 1) + ". " + shown_status(statuses[i]->level, statuses[i]->text) + "\n";
  return out;
}

std::string list_of(const std::vector<StatusExpectation>& expected) {
  std::string out;
  for (size_t i = 0; i < expected.size(); ++i)
    out += "    " + std::to_string(i + 1) + ". " + shown_expectation(expected[i]) + "\n";
  return out;
}

bool status_matches(const StatusExpectation& e, const StatusRecord& s) {
  return (e.level < 0 || e.level == s.level) && pattern_matches(e.pattern, s.text);
}

size_t first_difference(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return i;
  return n;
}

std::string scope_name(int worker) { return worker == 0 ? "the task" : "worker " + std::to_string(worker); }

// Reading "TaskEnded 0" is easier than "event 4".
std::string event_list(const std::vector<EventRecord>& events) {
  std::string out;
  size_t received = 0;
  for (const EventRecord& e : events) {
    if (e.code == downlib::kReceived) {
      ++received;
      continue;
    }
    if (received) out += " Received x" + std::to_string(received) + ";";
    received = 0;
    out += " " + event_name(e.code) + "(worker " + std::to_string(e.worker) + ", " + std::to_string(e.value1) + ", " +
           std::to_string(e.value2) + ");";
  }
  if (received) out += " Received x" + std::to_string(received) + ";";
  return out.empty() ? " (none)" : out;
}

std::string values_text(const std::vector<int32_t>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) out += (i ? " or " : "") + std::to_string(values[i]);
  return out;
}

class Judge {
 public:
  Judge(const Plan& plan, const TaskOutcome& outcome) : m_plan(plan), m_outcome(outcome) {}

  std::vector<std::string> run() {
    if (!m_outcome.problem.empty()) {
      fail(m_outcome.problem);
      return m_failures;
    }
    if (!m_outcome.started) {
      fail("Start returned false: no task ran");
      return m_failures;
    }
    if (!m_outcome.ended)
      fail("no TaskEnded within " + std::to_string(m_plan.timeout_ms) + " ms; the task was stopped");
    for (const std::string& late : m_outcome.late_callbacks) fail("a callback after TaskEnded: " + late);
    check_requests();
    check_ftp_commands();
    check_time_texts();
    check_statuses();
    check_events();
    check_files();
    return m_failures;
  }

 private:
  void fail(std::string message) { m_failures.push_back(std::move(message)); }

  void check_requests() {
    for (const ReceivedRequest& r : m_outcome.requests) {
      const std::string* expected = m_plan.expected_request(r.connection);
      if (!expected || *expected == r.bytes) continue;
      fail("request of connection " + std::to_string(r.connection) + " differs at byte " +
           std::to_string(first_difference(r.bytes, *expected)) + ":\n  got      " +
           test_support::display_text(r.bytes) + "\n  expected " + test_support::display_text(*expected));
    }
    if (!m_plan.connections) return;
    const int count = static_cast<int>(m_outcome.requests.size());
    const auto [low, high] = *m_plan.connections;
    if (count < low || count > high)
      fail("connections: got " + std::to_string(count) + ", expected " +
           (low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high)));
  }

  void check_ftp_commands() {
    if (m_plan.ftp_file.empty()) return;
    if (!m_outcome.ftp_problem.empty()) {
      fail("FTP commands: " + m_outcome.ftp_problem);
      return;
    }
    const std::vector<std::string>& got = m_outcome.ftp_commands;
    std::string listing;
    for (const std::string& line : got) listing += "    " + shown(line) + "\n";
    if (listing.empty()) listing = "    (none)\n";
    size_t next = 0;  // commands before this one are used up by earlier expectations
    for (const FtpCommandExpectation& e : m_plan.ftp_commands) {
      if (e.absent) {
        for (const std::string& line : got)
          if (pattern_matches(e.pattern, line))
            fail("FTP commands: " + shown(line) + " came, which matches " + shown(pattern_source(e.pattern)) +
                 " that must not");
        continue;
      }
      while (next < got.size() && !pattern_matches(e.pattern, got[next])) ++next;
      if (next == got.size()) {
        fail("FTP commands: " + shown(pattern_source(e.pattern)) +
             " never came (in order, after the commands expected before it); the server received\n" + listing);
        return;
      }
      ++next;
    }
  }

  void check_time_texts() {
    for (const StatusRecord& s : m_outcome.statuses) {
      if (is_local_time_text(s.time)) continue;
      fail("time text " + shown(s.time) + " of status " + shown_status(s.level, s.text) +
           " is not a local time of the \"%d年%d月%d日%d时%d分%d秒\" forms");
      return;  // one is enough to show the fault
    }
  }

  std::vector<const StatusRecord*> statuses_of(int worker) const {
    std::vector<const StatusRecord*> out;
    for (const StatusRecord& s : m_outcome.statuses)
      if (worker == 0 || s.worker == worker) out.push_back(&s);
    return out;
  }

  void check_statuses() {
    // Groups in the order the plan names them: (worker, mode) -> expectations.
    std::vector<std::pair<std::pair<int, StatusMode>, std::vector<StatusExpectation>>> groups;
    for (const StatusExpectation& e : m_plan.statuses) {
      const auto key = std::make_pair(e.worker, e.mode);
      auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == key; });
      if (it == groups.end()) it = groups.insert(groups.end(), {key, {}});
      it->second.push_back(e);
    }
    for (const auto& [key, expected] : groups) {
      const std::vector<const StatusRecord*> got = statuses_of(key.first);
      switch (key.second) {
        case StatusMode::Exact: check_exact(key.first, expected, got); break;
        case StatusMode::Among: check_among(key.first, expected, got); break;
        case StatusMode::Absent: check_absent(key.first, expected, got); break;
      }
    }
  }

  void check_exact(int worker, const std::vector<StatusExpectation>& expected,
                   const std::vector<const StatusRecord*>& got) {
    size_t i = 0;
    while (i < expected.size() && i < got.size() && status_matches(expected[i], *got[i])) ++i;
    if (i == expected.size() && i == got.size()) return;
    fail("status texts of " + scope_name(worker) + " differ from text " + std::to_string(i + 1) + " on:\n  got\n" +
         list_of(got) + "  expected exactly\n" + list_of(expected));
  }

  void check_among(int worker, const std::vector<StatusExpectation>& expected,
                   const std::vector<const StatusRecord*>& got) {
    size_t j = 0;
    for (size_t i = 0; i < got.size() && j < expected.size(); ++i)
      if (status_matches(expected[j], *got[i])) ++j;
    if (j == expected.size()) return;
    fail("status texts of " + scope_name(worker) + ": text " + std::to_string(j + 1) +
         " of these (in this order, among others) never came:\n" + list_of(expected) + "  got\n" + list_of(got));
  }

  void check_absent(int worker, const std::vector<StatusExpectation>& expected,
                    const std::vector<const StatusRecord*>& got) {
    for (const StatusExpectation& e : expected)
      for (const StatusRecord* s : got)
        if (status_matches(e, *s))
          fail("status texts of " + scope_name(worker) + ": " + shown_status(s->level, s->text) +
               " came, which matches " + shown_expectation(e) + " that must not");
  }

  void check_events() {
    const std::vector<EventRecord>& events = m_outcome.events;
    const std::string got = "\n  got" + event_list(events);
    const auto ended =
        std::count_if(events.begin(), events.end(), [](const EventRecord& e) { return e.code == downlib::kTaskEnded; });
    if (m_outcome.ended && (ended != 1 || events.back().code != downlib::kTaskEnded || events.back().worker != 0))
      fail("TaskEnded must come once, last, for worker 0" + got);
    for (const EventExpectation& e : m_plan.events) {
      std::vector<const EventRecord*> same;
      for (const EventRecord& r : events)
        if (r.code == e.code) same.push_back(&r);
      const auto fits = [&](const EventRecord* r) {
        return e.values.empty() || std::find(e.values.begin(), e.values.end(), r->value1) != e.values.end();
      };
      const std::string what = event_name(e.code) + (e.values.empty() ? "" : " with value " + values_text(e.values));
      switch (e.rule) {
        case EventRule::AtLeastOne:
          if (std::none_of(same.begin(), same.end(), fits)) fail("events: expected at least one " + what + got);
          break;
        case EventRule::ExactlyOne:
          if (same.size() != 1 || !fits(same[0]))
            fail("events: expected exactly one " + event_name(e.code) + " and it " + what + got);
          break;
        case EventRule::None:
          if (!same.empty()) fail("events: expected no " + what + got);
          break;
      }
    }
  }

  std::string target_listing() const {
    if (m_outcome.target_entries.empty()) return " (nothing)";
    std::string out;
    for (const FoundEntry& e : m_outcome.target_entries)
      out += " " + shown(e.name) + (e.directory ? " (directory)" : " (" + std::to_string(e.bytes.size()) + " bytes)");
    return out;
  }

  void check_content(const FileExpectation& f, const FoundEntry& file) {
    const std::string& body = m_plan.body;
    const std::string name = shown(file.name);
    if (f.content == FileContent::Body && file.bytes != body) {
      fail("file " + name + ": " + std::to_string(file.bytes.size()) + " bytes, expected the " +
           std::to_string(body.size()) + "-byte body; first difference at offset " +
           std::to_string(first_difference(file.bytes, body)));
    } else if (f.content == FileContent::Prefix) {
      const size_t n = std::min(f.prefix, body.size());
      if (file.bytes.size() < n || file.bytes.compare(0, n, body, 0, n) != 0)
        fail("file " + name + ": expected the first " + std::to_string(n) + " bytes of the body; it has " +
             std::to_string(file.bytes.size()) + " bytes, first difference at offset " +
             std::to_string(first_difference(file.bytes.substr(0, n), body.substr(0, n))));
    }
  }

  void check_files() {
    const std::vector<FoundEntry>& entries = m_outcome.target_entries;
    if (m_plan.no_files && !entries.empty()) fail("the target directory must stay empty; it holds" + target_listing());
    std::vector<std::string> matched;
    for (const FileExpectation& f : m_plan.files) {
      const auto found = std::find_if(entries.begin(), entries.end(), [&](const FoundEntry& e) {
        return !e.directory && std::find(f.names.begin(), f.names.end(), e.name) != f.names.end();
      });
      if (found == entries.end()) {
        if (f.may_be_absent && entries.empty()) continue;
        std::string names;
        for (const std::string& n : f.names) names += (names.empty() ? "" : " or ") + shown(n);
        fail("expected a file " + names + (f.may_be_absent ? " (or nothing)" : "") +
             " in the target directory; it holds" + target_listing());
        continue;
      }
      matched.push_back(found->name);
      check_content(f, *found);
    }
    if (!m_plan.files.empty()) {
      for (const FoundEntry& e : entries)
        if (std::find(matched.begin(), matched.end(), e.name) == matched.end())
          fail("the target directory also holds " + shown(e.name));
    }
    for (const std::string& stray : m_outcome.sandbox_strays)
      fail("written outside the target directory, beside it: " + shown(stray));
    for (const std::string& path : m_outcome.escaped_paths)
      fail("written outside the target directory: " + shown(path));
  }

  const Plan& m_plan;
  const TaskOutcome& m_outcome;
  std::vector<std::string> m_failures;
};

// Reads "<digits><unit>" at `at`; false when the text does not go on so.
bool take_number_and_unit(std::string_view text, size_t& at, std::string_view unit) {
  const size_t start = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  if (at == start || at - start > 4 || text.substr(at, unit.size()) != unit) {
    at = start;
    return false;
  }
  at += unit.size();
  return true;
}

}  // namespace

std::vector<std::string> judge(const Plan& plan, const TaskOutcome& outcome) { return Judge(plan, outcome).run(); }

bool is_local_time_text(std::string_view text) {
  size_t at = 0;
  if (!take_number_and_unit(text, at, "年") || !take_number_and_unit(text, at, "月") ||
      !take_number_and_unit(text, at, "日"))
    return false;
  if (at == text.size()) return true;
  if (!take_number_and_unit(text, at, "时")) return false;
  if (at == text.size()) return true;
  if (!take_number_and_unit(text, at, "分")) return false;
  if (at == text.size()) return true;
  return take_number_and_unit(text, at, "秒") && at == text.size();
}

}  // namespace scenario
