#include "downlib/tests/scenario/task_run.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "downlib/download_library.h"
#include "downlib/task_param.h"
#include "platform/testing/display_text.h"
#include "platform/testing/environment.h"
#include "runtime/command_call.h"
#include "runtime/system_function.h"

namespace scenario {
namespace {

using namespace std::chrono_literals;

// The callbacks carry no context of their own, and one task runs at a time:
// they report to this one recorder.
class Recorder {
 public:
  void reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_workers.clear();
    m_statuses.clear();
    m_events.clear();
    m_late.clear();
    m_ended = false;
  }

  void event(int32_t code, intptr_t worker, int32_t value1, int32_t value2) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int number = worker_number(worker);
    if (m_ended) {
      m_late.push_back(event_name(code) + " of worker " + std::to_string(number));
      return;
    }
    m_events.push_back({code, number, value1, value2});
    if (code == downlib::kTaskEnded) {
      m_ended = true;
      m_changed.notify_all();
    }
  }

  void status(intptr_t worker, const char* time, const char* message, int32_t level) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int number = worker_number(worker);
    const std::string text = message ? message : "";
    if (m_ended) {
      m_late.push_back("status text \"" + test_support::display_text(text) + "\" of worker " + std::to_string(number));
      return;
    }
    m_statuses.push_back({number, level, time ? time : "", text});
  }

  bool wait_ended(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_ended; });
  }

  void take(TaskOutcome& outcome) {
    std::lock_guard<std::mutex> lock(m_mutex);
    outcome.statuses = std::move(m_statuses);
    outcome.events = std::move(m_events);
    outcome.late_callbacks.insert(outcome.late_callbacks.end(), m_late.begin(), m_late.end());
  }

 private:
  // Workers are numbered in the order they first show up; 0 stays 0.
  int worker_number(intptr_t worker) {
    if (worker == 0) return 0;
    for (size_t i = 0; i < m_workers.size(); ++i)
      if (m_workers[i] == worker) return static_cast<int>(i + 1);
    m_workers.push_back(worker);
    return static_cast<int>(m_workers.size());
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<intptr_t> m_workers;
  std::vector<StatusRecord> m_statuses;
  std::vector<EventRecord> m_events;
  std::vector<std::string> m_late;
  bool m_ended = false;
};

Recorder g_recorder;

int32_t RT_STDCALL on_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2, intptr_t) {
  g_recorder.event(code, worker, value1, value2);
  return downlib::kRenameAutomatically;
}

int32_t RT_STDCALL on_status(intptr_t worker, const char* time, const char* message, int32_t level, intptr_t) {
  g_recorder.status(worker, time, message, level);
  return 0;
}

struct IntField {
  const char* name;
  int32_t downlib::TaskParam::*field;
};

constexpr IntField kIntFields[] = {
    {"ThreadCount", &downlib::TaskParam::ThreadCount},
    {"SpeedLimit", &downlib::TaskParam::SpeedLimit},
    {"ConnectTimeout", &downlib::TaskParam::ConnectTimeout},
    {"SendTimeout", &downlib::TaskParam::SendTimeout},
    {"ReceiveTimeout", &downlib::TaskParam::ReceiveTimeout},
    {"StopWait", &downlib::TaskParam::StopWait},
    {"ReadSize", &downlib::TaskParam::ReadSize},
    {"TransferType", &downlib::TaskParam::TransferType},
};

struct TextField {
  const char* name;
  char* downlib::TaskParam::*field;
};

constexpr TextField kTextFields[] = {
    {"Url", &downlib::TaskParam::Url},           {"Referer", &downlib::TaskParam::Referer},
    {"Proxy", &downlib::TaskParam::Proxy},       {"UserName", &downlib::TaskParam::UserName},
    {"Password", &downlib::TaskParam::Password}, {"BinaryExtensions", &downlib::TaskParam::BinaryExtensions},
};

// The plan's fields over the library's defaults; false names a field this runner does not know.
bool fill(downlib::TaskParam& param, const Plan& plan, const std::string& target_directory, std::string& unknown) {
  for (const auto& [name, value] : plan.params) {
    const char* text = value ? value->c_str() : nullptr;
    bool known = false;
    for (const TextField& f : kTextFields) {
      if (name != f.name) continue;
      downlib::assign_text(param.*f.field, text);
      known = true;
    }
    for (const IntField& f : kIntFields) {
      if (name != f.name || !value) continue;
      param.*f.field = static_cast<int32_t>(std::strtol(value->c_str(), nullptr, 10));
      known = true;
    }
    if (!known) {
      unknown = name;
      return false;
    }
  }
  downlib::assign_text(param.SavePath, (target_directory + plan.save_name).c_str());
  param.StatusCallback = on_status;
  param.EventCallback = on_event;
  return true;
}

rt::ArgValue object_arg(downlib::DownloadObject* object) {
  return rt::ArgValue::of_ref(object, downlib::kDownloadObjectTag);
}

// The library starts as the program starts it: notified once with the runtime's services.
void start_library_once() {
  static const bool started = [] {
    downlib::kDownloadLibrary.notify(rt::kNotifyStart, reinterpret_cast<intptr_t>(&rt::system_function), 0);
    return true;
  }();
  (void)started;
}

}  // namespace

TaskOutcome run_task(const Plan& plan, const std::string& target_directory) {
  TaskOutcome outcome;
  const rt::SupportLibrary& library = downlib::kDownloadLibrary;
  if (!library.commands || library.command_count <= static_cast<int32_t>(downlib::kStop)) {
    outcome.problem = "the download library has no commands";
    return outcome;
  }
  start_library_once();
  g_recorder.reset();
  test_support::set_environment_variable(kRetrySettingVariable, plan.retry);

  downlib::TaskParam param{};
  downlib::init_task_param(param);
  std::string unknown;
  if (!fill(param, plan, target_directory, unknown)) {
    downlib::release_task_param(param);
    outcome.problem = "the plan sets " + unknown + ", which the runner does not know";
    return outcome;
  }
  // The task writes to the object when it ends, after TaskEnded: the object
  // lives until the task has let go of it.
  auto* object = new downlib::DownloadObject;
  const rt::ArgValue started = rt::call_command(
      library.commands[downlib::kStart], {object_arg(object), rt::ArgValue::of_ref(&param, downlib::kTaskParamTag)});
  outcome.started = started.as_bool();
  if (!outcome.started) {
    downlib::release_task_param(param);
    delete object;
    return outcome;
  }
  outcome.ended = g_recorder.wait_ended(std::chrono::milliseconds(plan.timeout_ms));
  if (!outcome.ended) {
    rt::call_command(library.commands[downlib::kStop], {object_arg(object)});
    g_recorder.wait_ended(std::chrono::milliseconds(param.StopWait) + 10s);
  }
  bool released = false;
  for (int i = 0; i < 500 && !released; ++i) {
    released = object->task.load() == nullptr;
    if (!released) std::this_thread::sleep_for(10ms);
  }
  if (released) {
    delete object;
  } else {
    outcome.late_callbacks.push_back("the download object still refers to its task 5 s after TaskEnded");
  }
  // Anything that still comes after TaskEnded is a fault; give it a moment to show.
  std::this_thread::sleep_for(100ms);
  g_recorder.take(outcome);
  downlib::release_task_param(param);
  return outcome;
}

}  // namespace scenario
