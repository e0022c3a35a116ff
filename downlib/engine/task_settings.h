#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "downlib/engine/protocol.h"
#include "downlib/task_param.h"

// The task parameters as a task keeps them: copied when the task starts, so
// the program may change or free its record at once. Every text is copied
// with its CR and LF bytes removed; an absent text stays absent.
namespace downlib::engine {

inline constexpr int32_t kLargestThreadCount = 64;
inline constexpr size_t kLargestTargetPath = 259;
inline constexpr int32_t kReceiveBufferSize = 20480;

// The operation in bits 8-15 of Mode, once Start has set bit 12.
inline constexpr int32_t kOperationDownload = 0x10;
inline constexpr int32_t kOperationHeld = 0x30;  // created and kept, never run

struct TaskSettings {
  int32_t operation = kOperationDownload;
  std::string url;
  std::string save_path;
  std::optional<std::string> user_name, password, remote_path, binary_extensions, proxy, referer;
  int32_t thread_count = 1;  // 1 to kLargestThreadCount
  int32_t speed_limit = 0;   // bytes per second for the task; 0 = none
  Timeouts timeouts;
  int32_t stop_wait_ms = 1000;
  int32_t read_size = kReceiveBufferSize;  // 1 to the receive buffer's size
  int32_t transfer_type = 1;
  StatusCallbackRoutine status_callback = nullptr;
  EventCallbackRoutine event_callback = nullptr;
};

// The copy Start works with; nothing when the record cannot start a task
// (a SavePath longer than 259 bytes).
std::optional<TaskSettings> copy_settings(const TaskParam& param);

}  // namespace downlib::engine
