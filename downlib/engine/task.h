#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "downlib/engine/event_queue.h"
#include "downlib/engine/protocol.h"
#include "downlib/engine/retry_policy.h"
#include "downlib/engine/segment_table.h"
#include "downlib/engine/target_file.h"
#include "downlib/engine/task_settings.h"
#include "downlib/task_param.h"
#include "downlib/task_state.h"

// One download task: what the workers share and what the controller runs.
// The controller thread (controller.cpp) and every worker thread hold the
// task alive; it is freed when the last of them lets go.
namespace downlib::engine {

class Worker;

class Task : public std::enable_shared_from_this<Task> {
 public:
  Task(TaskSettings settings, std::unique_ptr<Protocol> protocol, RetryPolicy retry, DownloadObject* object);
  ~Task();
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  // The reference the callbacks receive.
  intptr_t reference() const { return reinterpret_cast<intptr_t>(this); }
  const TaskSettings& settings() const { return m_settings; }
  const RetryPolicy& retry_policy() const { return m_retry; }
  Protocol& protocol() { return *m_protocol; }
  SegmentTable& segments() { return m_segments; }
  TargetFile& file() { return m_file; }
  EventQueue& queue() { return m_queue; }

  // The stop sequence of Stop: stopping, every worker asked to stop, up to
  // StopWait ms for them to end (20 ms steps), then the finish is queued.
  void stop();
  bool stop_requested() const { return m_stop_requested.load(); }
  bool stopping() const;

  // Sizes and counters.
  int32_t total_size() const { return m_total_size.load(); }
  void set_total_size(int32_t size) { m_total_size.store(size); }
  void count_received(int32_t bytes);
  int32_t take_received() { return m_received_since_take.exchange(0); }
  void count_retry() { ++m_retries; }
  // True for the first caller only: SizeKnown goes out once per task.
  bool claim_size_announcement() { return !m_size_announced.exchange(true); }
  // What TaskEnded carries: the total size when every byte is in the file,
  // else the bytes done, so that no caller takes a broken file for a whole one.
  int32_t ended_value() const;

  std::string target_path() const;
  void set_target_path(std::string path);

  // What the server does with ranges, as far as the opens have seen.
  enum class Ranges { Unknown, Confirmed, Ignored };
  Ranges ranges() const { return m_ranges.load(); }
  void note_ranges(OpenedBody::Ranges seen);

  // Workers. start_worker runs on the controller thread; `self` keeps the
  // task alive for the worker's thread. Null when the task is stopping or
  // no thread could be made.
  Worker* start_worker(const std::shared_ptr<Task>& self, int32_t followers,
                       std::optional<SegmentTable::Assignment> segment);
  bool first_worker_started() const;
  int32_t active_workers() const;
  // A worker at its end: its segment is released and its WorkerDone or
  // WorkerFailed is queued, then the finish when it was the last one.
  void worker_ended(Worker& worker, bool failed, int32_t position);
  void ask_workers_to_stop();
  // The share of SpeedLimit for one worker's read; 0 without a limit.
  int32_t speed_share() const;

  // Messages for the controller. Status texts are only made when a
  // StatusCallback will hear them.
  void post_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2);
  void post_status(intptr_t worker, int32_t level, std::string text);
  bool wants_status() const { return m_settings.status_callback != nullptr; }

  // The callbacks, on the thread that calls these.
  int32_t call_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2) const;
  void call_status(intptr_t worker, const std::string& time, const std::string& text, int32_t level) const;

  TaskSnapshot snapshot() const;

  // Clears the object's reference when it still refers to this task (a new
  // task may have been started on the object after a Stop).
  void detach_from_object();

 private:
  TaskSettings m_settings;
  RetryPolicy m_retry;
  std::unique_ptr<Protocol> m_protocol;
  SegmentTable m_segments;
  TargetFile m_file;
  EventQueue m_queue;
  DownloadObject* m_object;

  std::atomic<bool> m_stop_requested{false};
  std::atomic<bool> m_size_announced{false};
  std::atomic<Ranges> m_ranges{Ranges::Unknown};
  std::atomic<int32_t> m_total_size{0};
  std::atomic<int32_t> m_received_since_take{0};
  std::atomic<int64_t> m_received_total{0};
  std::atomic<int32_t> m_retries{0};

  mutable std::mutex m_path_mutex;
  std::string m_target_path;

  // Guards the worker list, the active count and the stopping state
  // together, so that no worker starts after the last one has ended.
  mutable std::mutex m_workers_mutex;
  std::vector<std::unique_ptr<Worker>> m_workers;
  int32_t m_active_workers = 0;
  bool m_stopping = false;
};

}  // namespace downlib::engine
