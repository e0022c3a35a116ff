// The controller thread of a task: it starts the workers and hands their
// events and status texts to the program's callbacks, in the order they
// were queued, always from this one thread.
//
//   Running ──(StartWorker)──► first worker, or a worker for a free segment
//      │                       or for a split of the largest one
//      │ ──(Status, Event)──► StatusCallback, EventCallback
//      │ ──(Finish)─────────► queue StopAll, stop what still runs, close the file
//      ▼
//   (StopAll) drop what is queued, close the queue
//      ▼
//   Ended: TaskEnded with the total size (complete) or the bytes done
//          (anything else); then the task leaves the active tasks and its object

#include "downlib/engine/controller.h"

#include "downlib/engine/task.h"
#include "downlib/engine/task_registry.h"
#include "downlib/engine/worker.h"
#include "platform/thread.h"

namespace downlib::engine {
namespace {

// The controller looks at its queue at least this often when idle.
constexpr int32_t kIdlePollMs = 100;

enum class ControllerState { Running, Ended };

class Controller {
 public:
  explicit Controller(std::shared_ptr<Task> task) : m_task(std::move(task)) {}

  void run() {
    Message start;
    start.kind = Message::Kind::StartWorker;
    start.count = m_task->settings().thread_count;
    m_task->queue().push(std::move(start));

    ControllerState state = ControllerState::Running;
    while (state == ControllerState::Running) {
      for (Message& message : m_task->queue().take(kIdlePollMs)) {
        state = handle(message);
        if (state != ControllerState::Running) break;
      }
    }
    end();
  }

 private:
  ControllerState handle(Message& message) {
    switch (message.kind) {
      case Message::Kind::StartWorker: start_worker(message.count); break;
      case Message::Kind::Status: m_task->call_status(message.worker, message.time, message.text, message.level); break;
      case Message::Kind::Event:
        m_task->call_event(message.code, message.worker, message.value1, message.value2);
        break;
      case Message::Kind::Finish: {
        Message stop_all;
        stop_all.kind = Message::Kind::StopAll;
        m_task->queue().push(std::move(stop_all));
        // Workers that have not ended yet stop at their next look at the
        // flag; their writes fail from now on and their events are dropped.
        m_task->ask_workers_to_stop();
        m_task->file().close();
        break;
      }
      case Message::Kind::StopAll: m_task->queue().close(); return ControllerState::Ended;
    }
    return ControllerState::Running;
  }

  void start_worker(int32_t count) {
    if (m_task->stopping()) return;
    Worker* worker = nullptr;
    if (!m_task->first_worker_started()) {
      worker = m_task->start_worker(m_task, count - 1, std::nullopt);
    } else {
      // No ranged opens for a server that answers them with the whole file.
      if (m_task->ranges() == Task::Ranges::Ignored) return;
      SegmentTable& segments = m_task->segments();
      auto segment = segments.take_free(0, 0);
      if (!segment) segment = segments.split_largest(0, 0);
      if (!segment) return;
      worker = m_task->start_worker(m_task, 0, segment);
      if (!worker) segments.release(segment->index);
    }
    if (worker) m_task->call_event(kWorkerStarted, worker->reference(), 0, 0);
  }

  // The file is closed before TaskEnded, so the handler may move it; the task
  // is still the object's while the handler runs, so GetState gives its last
  // state, and leaves it right after.
  void end() {
    const int32_t value = m_task->ended_value();
    m_task->file().close();
    m_task->call_event(kTaskEnded, 0, value, 0);
    remove_active_task(m_task.get());
    m_task->detach_from_object();
  }

  std::shared_ptr<Task> m_task;
};

void run_controller(void* context) {
  std::unique_ptr<std::shared_ptr<Task>> task(static_cast<std::shared_ptr<Task>*>(context));
  Controller(*task).run();
  task.reset();
  controller_finished();
}

}  // namespace

bool start_controller(const std::shared_ptr<Task>& task) {
  controller_started();
  auto* context = new std::shared_ptr<Task>(task);
  if (!platform::start_detached_thread(run_controller, context)) {
    delete context;
    controller_finished();
    return false;
  }
  return true;
}

}  // namespace downlib::engine
