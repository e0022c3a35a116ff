#include "downlib/engine/task.h"

#include <thread>

#include "downlib/engine/worker.h"
#include "downlib/local_time_text.h"
#include "platform/clock.h"
#include "platform/thread.h"

namespace downlib::engine {
namespace {

constexpr int32_t kStopWaitStepMs = 20;

struct WorkerStart {
  std::shared_ptr<Task> task;
  Worker* worker;
};

void run_worker(void* context) {
  std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(context));
  start->worker->run();
}

}  // namespace

Task::Task(TaskSettings settings, std::unique_ptr<Protocol> protocol, RetryPolicy retry, DownloadObject* object)
    : m_settings(std::move(settings)),
      m_retry(retry),
      m_protocol(std::move(protocol)),
      m_object(object),
      m_target_path(m_settings.save_path) {}

Task::~Task() = default;

void Task::stop() {
  {
    std::lock_guard<std::mutex> lock(m_workers_mutex);
    m_stopping = true;
    m_stop_requested.store(true);
  }
  ask_workers_to_stop();
  const uint32_t started = platform::tick_count();
  while (active_workers() > 0 && platform::tick_count() - started < static_cast<uint32_t>(m_settings.stop_wait_ms)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kStopWaitStepMs));
  }
  Message finish;
  finish.kind = Message::Kind::Finish;
  m_queue.push(std::move(finish));
}

bool Task::stopping() const {
  std::lock_guard<std::mutex> lock(m_workers_mutex);
  return m_stopping;
}

void Task::count_received(int32_t bytes) {
  m_received_since_take.fetch_add(bytes);
  m_received_total.fetch_add(bytes);
}

int32_t Task::ended_value() const {
  const int32_t total = total_size();
  if (total >= 0 && m_segments.all_complete()) return total;
  return static_cast<int32_t>(m_segments.bytes_done());
}

std::string Task::target_path() const {
  std::lock_guard<std::mutex> lock(m_path_mutex);
  return m_target_path;
}

void Task::set_target_path(std::string path) {
  std::lock_guard<std::mutex> lock(m_path_mutex);
  m_target_path = std::move(path);
}

void Task::note_ranges(OpenedBody::Ranges seen) {
  if (seen == OpenedBody::Ranges::Ignored) {
    m_ranges.store(Ranges::Ignored);
  } else if (seen == OpenedBody::Ranges::Confirmed) {
    Ranges unknown = Ranges::Unknown;
    m_ranges.compare_exchange_strong(unknown, Ranges::Confirmed);
  }
}

Worker* Task::start_worker(const std::shared_ptr<Task>& self, int32_t followers,
                           std::optional<SegmentTable::Assignment> segment) {
  Worker* worker = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_workers_mutex);
    if (m_stopping) return nullptr;
    const auto number = static_cast<int32_t>(m_workers.size()) + 1;
    m_workers.push_back(std::make_unique<Worker>(*this, number, followers, segment));
    worker = m_workers.back().get();
    ++m_active_workers;
  }
  if (!platform::start_detached_thread(run_worker, new WorkerStart{self, worker})) {
    worker_ended(*worker, true, segment ? segment->position : 0);
    return nullptr;
  }
  return worker;
}

bool Task::first_worker_started() const {
  std::lock_guard<std::mutex> lock(m_workers_mutex);
  return !m_workers.empty();
}

int32_t Task::active_workers() const {
  std::lock_guard<std::mutex> lock(m_workers_mutex);
  return m_active_workers;
}

void Task::worker_ended(Worker& worker, bool failed, int32_t position) {
  post_event(failed ? kWorkerFailed : kWorkerDone, worker.reference(), position, 0);
  bool last = false;
  {
    std::lock_guard<std::mutex> lock(m_workers_mutex);
    last = --m_active_workers == 0;
    if (last) m_stopping = true;
  }
  if (last) {
    Message finish;
    finish.kind = Message::Kind::Finish;
    m_queue.push(std::move(finish));
  }
}

void Task::ask_workers_to_stop() {
  std::lock_guard<std::mutex> lock(m_workers_mutex);
  for (const auto& worker : m_workers) worker->ask_to_stop();
}

int32_t Task::speed_share() const {
  if (m_settings.speed_limit <= 0) return 0;
  const int32_t active = active_workers();
  return std::max(1, m_settings.speed_limit / std::max(1, active));
}

void Task::post_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2) {
  if (!m_settings.event_callback) return;
  Message event;
  event.kind = Message::Kind::Event;
  event.code = code;
  event.worker = worker;
  event.value1 = value1;
  event.value2 = value2;
  m_queue.push(std::move(event));
}

void Task::post_status(intptr_t worker, int32_t level, std::string text) {
  if (!wants_status()) return;  // nobody listens: the text is dropped
  Message status;
  status.kind = Message::Kind::Status;
  status.worker = worker;
  status.level = level;
  status.time = local_time_text_now();
  status.text = std::move(text);
  m_queue.push(std::move(status));
}

int32_t Task::call_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2) const {
  if (!m_settings.event_callback) return 0;
  return m_settings.event_callback(code, worker, value1, value2, reference());
}

void Task::call_status(intptr_t worker, const std::string& time, const std::string& text, int32_t level) const {
  if (m_settings.status_callback) m_settings.status_callback(worker, time.c_str(), text.c_str(), level, reference());
}

TaskSnapshot Task::snapshot() const {
  TaskSnapshot snapshot;
  snapshot.total_size = total_size();
  m_segments.fill(snapshot);
  m_protocol->describe(snapshot);
  snapshot.thread_count = m_settings.thread_count;
  snapshot.speed_limit = m_settings.speed_limit;
  snapshot.retries = m_retries.load();
  return snapshot;
}

void Task::detach_from_object() {
  if (!m_object) return;
  void* self = this;
  m_object->task.compare_exchange_strong(self, nullptr);
}

}  // namespace downlib::engine
