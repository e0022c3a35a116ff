#pragma once

#include <cstdint>

#include "downlib/task_param.h"

// The download library's commands as the updater calls them: through the
// library's command table, the object and the task parameters passed by
// reference.
namespace updater::engine {

// A state snapshot (TaskState byte set) owned by the caller.
class Snapshot {
 public:
  Snapshot() = default;
  ~Snapshot();
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  void** variable() { return &m_block; }
  const void* block() const { return m_block; }

 private:
  void* m_block = nullptr;
};

// Kinds of StateValue.
enum class StateKind : int32_t { TotalSize = 1, BytesDone = 2 };

// False when the engine refuses the task (unknown protocol, a task already
// running, no thread for it).
bool start(downlib::DownloadObject& downloader, downlib::TaskParam& param);
// False when no active task is held; the snapshot is then left alone.
bool get_state(downlib::DownloadObject& downloader, Snapshot& snapshot);
// -1 for an empty or damaged snapshot.
int32_t state_value(downlib::DownloadObject& downloader, const Snapshot& snapshot, StateKind kind);
// Bytes received since the previous call; 0 without a task.
int32_t take_received(downlib::DownloadObject& downloader);
// Stops a running task; nothing without one.
void stop(downlib::DownloadObject& downloader);

}  // namespace updater::engine
