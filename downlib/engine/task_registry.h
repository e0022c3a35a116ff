#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// The active tasks of the process. Commands reach a task only through here,
// so a task that has ended (and may be freed) is never touched through a
// stale reference in a download object.
namespace downlib::engine {

class Task;

void add_active_task(const std::shared_ptr<Task>& task);
// False when the task was not (or no longer) active.
bool remove_active_task(const Task* task);
// The task, when it is still active.
std::shared_ptr<Task> find_active_task(const void* task);
std::vector<std::shared_ptr<Task>> active_tasks();

// Controller threads that have not finished yet, and a wait for them all.
void controller_started();
void controller_finished();
bool wait_for_controllers(uint32_t timeout_ms);

}  // namespace downlib::engine
