#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "downlib/task_param.h"

// Runs downloads through the library's commands, the way the program does,
// and records what the callbacks heard. One download at a time per process:
// the callbacks are plain functions that report to the current recorder.
namespace downlib_test {

struct Event {
  int32_t code;
  intptr_t worker;
  int32_t value1, value2;
};

struct Status {
  intptr_t worker;
  std::string time;
  std::string text;
  int32_t level;
};

struct Outcome {
  bool started = false;
  bool ended = false;         // TaskEnded arrived
  int32_t ended_value = 0;    // its value 1
  std::vector<Event> events;  // in delivery order, TaskEnded last
  std::vector<Status> statuses;
  std::vector<uint8_t> state_at_size_known;  // GetState inside the SizeKnown callback
  std::vector<uint8_t> state_at_task_ended;  // GetState inside the TaskEnded callback
  uint32_t milliseconds = 0;

  int count(int32_t code) const;
  std::vector<const Event*> of(int32_t code) const;
  bool has_status(const std::string& text, int32_t level) const;
  std::string status_log() const;  // every status line, for failure messages
  int32_t state_value(int32_t kind, int32_t index) const;  // of the snapshot at SizeKnown
  int32_t final_state_value(int32_t kind, int32_t index) const;  // of the one at TaskEnded
};

// What FileExists answers, and the path a handler answering 2 sets.
struct FileExistsPlan {
  int32_t answer = downlib::kRenameAutomatically;
  std::string new_path;
};

class Download {
 public:
  Download();
  ~Download();

  downlib::TaskParam& param() { return m_param; }
  downlib::DownloadObject& object() { return m_object; }
  void set_url(const std::string& url) { downlib::assign_text(m_param.Url, url.c_str()); }
  void set_save_path(const std::string& path) { downlib::assign_text(m_param.SavePath, path.c_str()); }
  void set_file_exists(FileExistsPlan plan) { m_file_exists = std::move(plan); }
  // Calls Stop from inside the callback, at the first event with this code.
  void stop_at_event(int32_t code) { m_stop_at = code; }

  // Start, then wait (up to timeout_ms) for TaskEnded.
  Outcome run(uint32_t timeout_ms = 60000);
  bool start();
  Outcome wait(uint32_t timeout_ms = 60000);

  // Commands as the program calls them.
  bool call_start();
  bool call_get_state(void** variable);
  int32_t call_take_received();
  void call_stop();

 private:
  static int32_t RT_STDCALL on_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2, intptr_t task);
  static int32_t RT_STDCALL on_status(intptr_t worker, const char* time, const char* text, int32_t level,
                                      intptr_t task);

  downlib::TaskParam m_param;
  downlib::DownloadObject m_object;
  FileExistsPlan m_file_exists;
  std::optional<int32_t> m_stop_at;
  bool m_stopped_by_event = false;
  std::mutex m_mutex;
  Outcome m_outcome;
  uint32_t m_started_at = 0;
};

// A fresh empty directory for one test's targets, in the program's path
// form, ending in the separator; removed with its files afterwards.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name);
  ~ScratchDirectory();
  const std::string& path() const { return m_path; }  // ends with "\"
  std::string file(const std::string& name) const { return m_path + name; }

 private:
  std::string m_path;
};

// The bytes of a file given by a program path; nothing when it does not exist.
std::optional<std::string> read_file(const std::string& program_path);
bool write_file(const std::string& program_path, const std::string& bytes);
// Deterministic pseudo-random bytes.
std::string random_bytes(size_t size, uint32_t seed);

}  // namespace downlib_test
