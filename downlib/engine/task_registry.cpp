#include "downlib/engine/task_registry.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "downlib/engine/task.h"

namespace downlib::engine {
namespace {

struct Registry {
  std::mutex mutex;
  std::condition_variable controllers_done;
  std::vector<std::shared_ptr<Task>> tasks;
  int32_t controllers = 0;
};

// Never destroyed: controller threads may still finish while the process
// runs its static destructors.
Registry& registry() {
  static Registry* instance = new Registry;
  return *instance;
}

}  // namespace

void add_active_task(const std::shared_ptr<Task>& task) {
  std::lock_guard<std::mutex> lock(registry().mutex);
  registry().tasks.push_back(task);
}

bool remove_active_task(const Task* task) {
  std::shared_ptr<Task> removed;  // released after the lock
  std::lock_guard<std::mutex> lock(registry().mutex);
  auto& tasks = registry().tasks;
  const auto it = std::find_if(tasks.begin(), tasks.end(), [&](const auto& t) { return t.get() == task; });
  if (it == tasks.end()) return false;
  removed = std::move(*it);
  tasks.erase(it);
  return true;
}

std::shared_ptr<Task> find_active_task(const void* task) {
  if (!task) return nullptr;
  std::lock_guard<std::mutex> lock(registry().mutex);
  for (const auto& t : registry().tasks)
    if (t.get() == task) return t;
  return nullptr;
}

std::vector<std::shared_ptr<Task>> active_tasks() {
  std::lock_guard<std::mutex> lock(registry().mutex);
  return registry().tasks;
}

void controller_started() {
  std::lock_guard<std::mutex> lock(registry().mutex);
  ++registry().controllers;
}

void controller_finished() {
  {
    std::lock_guard<std::mutex> lock(registry().mutex);
    --registry().controllers;
  }
  registry().controllers_done.notify_all();
}

bool wait_for_controllers(uint32_t timeout_ms) {
  std::unique_lock<std::mutex> lock(registry().mutex);
  return registry().controllers_done.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                              [] { return registry().controllers == 0; });
}

}  // namespace downlib::engine
