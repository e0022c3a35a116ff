#pragma once

#include <memory>

namespace downlib::engine {

class Task;

// Starts the task's controller thread (controller.cpp); false when no
// thread could be made.
bool start_controller(const std::shared_ptr<Task>& task);

}  // namespace downlib::engine
