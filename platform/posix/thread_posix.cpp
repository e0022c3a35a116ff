#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "platform/thread.h"

// A POSIX thread has no handle that fits a 32-bit variable, so handles are
// entries of a table here, numbered like kernel handles (multiples of 4).
// The record lives while either its handle is open or its thread runs.
namespace platform {
namespace {

struct ThreadRecord {
  ThreadRoutine routine = nullptr;
  uint32_t parameter = 0;
  std::mutex mutex;
  std::condition_variable ended_signal;
  bool ended = false;
  uint32_t exit_code = 0;
};

class HandleTable {
 public:
  ThreadHandle add(std::shared_ptr<ThreadRecord> record) {
    std::lock_guard<std::mutex> lock(m_mutex);
    do {
      m_last = m_last >= 0x7FFFFFF0 ? 4 : m_last + 4;
    } while (m_records.count(m_last));
    m_records.emplace(m_last, std::move(record));
    return m_last;
  }
  std::shared_ptr<ThreadRecord> find(ThreadHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_records.find(handle);
    return it == m_records.end() ? nullptr : it->second;
  }
  void remove(ThreadHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.erase(handle);
  }
  uint32_t size() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<uint32_t>(m_records.size());
  }

 private:
  std::mutex m_mutex;
  std::map<ThreadHandle, std::shared_ptr<ThreadRecord>> m_records;
  ThreadHandle m_last = 0;
};

HandleTable& handles() {
  static HandleTable* table = new HandleTable;  // outlives threads still running at exit
  return *table;
}

void* run_thread(void* start) {
  std::shared_ptr<ThreadRecord> record = std::move(*static_cast<std::shared_ptr<ThreadRecord>*>(start));
  delete static_cast<std::shared_ptr<ThreadRecord>*>(start);
  const uint32_t code = record->routine(record->parameter);
  std::lock_guard<std::mutex> lock(record->mutex);
  record->ended = true;
  record->exit_code = code;
  record->ended_signal.notify_all();
  return nullptr;
}

}  // namespace

ThreadHandle start_thread(ThreadRoutine routine, uint32_t parameter) {
  auto record = std::make_shared<ThreadRecord>();
  record->routine = routine;
  record->parameter = parameter;
  const ThreadHandle handle = handles().add(record);

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  auto* start = new std::shared_ptr<ThreadRecord>(std::move(record));
  pthread_t thread;
  const int error = pthread_create(&thread, &attributes, run_thread, start);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete start;
    handles().remove(handle);
    return 0;
  }
  return handle;
}

void close_thread_handle(ThreadHandle handle) { handles().remove(handle); }

WaitResult wait_for_thread(ThreadHandle handle, uint32_t timeout_ms, uint32_t* exit_code) {
  std::shared_ptr<ThreadRecord> record = handles().find(handle);
  if (!record) return WaitResult::Failed;
  std::unique_lock<std::mutex> lock(record->mutex);
  const auto ended = [&] { return record->ended; };
  if (timeout_ms == kWaitForever) {
    record->ended_signal.wait(lock, ended);
  } else if (!record->ended_signal.wait_for(lock, std::chrono::milliseconds(timeout_ms), ended)) {
    return WaitResult::TimedOut;
  }
  if (exit_code) *exit_code = record->exit_code;
  return WaitResult::Ended;
}

uint32_t open_handle_count() { return handles().size(); }

namespace {

struct DetachedStart {
  DetachedRoutine routine;
  void* context;
};

void* run_detached(void* start) {
  const DetachedStart what = *static_cast<DetachedStart*>(start);
  delete static_cast<DetachedStart*>(start);
  what.routine(what.context);
  return nullptr;
}

}  // namespace

bool start_detached_thread(DetachedRoutine routine, void* context) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  auto* start = new DetachedStart{routine, context};
  pthread_t thread;
  const int error = pthread_create(&thread, &attributes, run_detached, start);
  pthread_attr_destroy(&attributes);
  if (error != 0) delete start;
  return error == 0;
}

}  // namespace platform
