#include "downlib/tests/download_harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "downlib/commands.h"
#include "downlib/task_state.h"
#include "downlib/task_target.h"
#include "platform/clock.h"
#include "platform/file_io.h"
#include "platform/path.h"
#include "runtime/blocks.h"
#include "runtime/command_call.h"
#include "runtime/memory.h"

namespace downlib_test {
namespace {

std::atomic<Download*> g_current{nullptr};

}  // namespace

int Outcome::count(int32_t code) const {
  int n = 0;
  for (const Event& e : events) n += e.code == code;
  return n;
}

std::vector<const Event*> Outcome::of(int32_t code) const {
  std::vector<const Event*> found;
  for (const Event& e : events)
    if (e.code == code) found.push_back(&e);
  return found;
}

bool Outcome::has_status(const std::string& text, int32_t level) const {
  for (const Status& s : statuses)
    if (s.text == text && s.level == level) return true;
  return false;
}

std::string Outcome::status_log() const {
  std::string log;
  for (const Status& s : statuses) log += "  [" + std::to_string(s.level) + "] " + s.text + "\n";
  return log;
}

int32_t Outcome::state_value(int32_t kind, int32_t index) const {
  return downlib::state_value(state_at_size_known.data(), state_at_size_known.size(), kind, index);
}

int32_t Outcome::final_state_value(int32_t kind, int32_t index) const {
  return downlib::state_value(state_at_task_ended.data(), state_at_task_ended.size(), kind, index);
}

Download::Download() {
  downlib::init_task_param(m_param);
  m_param.EventCallback = &Download::on_event;
  m_param.StatusCallback = &Download::on_status;
  g_current = this;
}

Download::~Download() {
  // A task still running must not call back into a recorder that is gone.
  if (m_object.task.load()) call_stop();
  wait(10000);
  g_current = nullptr;
  downlib::release_task_param(m_param);
}

bool Download::call_start() {
  return rt::call_command(downlib::Start, {rt::ArgValue::of_ref(&m_object, downlib::kDownloadObjectTag),
                                           rt::ArgValue::of_ref(&m_param, downlib::kTaskParamTag)})
      .as_bool();
}

bool Download::call_get_state(void** variable) {
  return rt::call_command(downlib::GetState, {rt::ArgValue::of_ref(&m_object, downlib::kDownloadObjectTag),
                                              rt::ArgValue::of_ref(variable, rt::tag::kBytes)})
      .as_bool();
}

int32_t Download::call_take_received() {
  return rt::call_command(downlib::TakeReceived, {rt::ArgValue::of_ref(&m_object, downlib::kDownloadObjectTag)})
      .as_int();
}

void Download::call_stop() {
  rt::call_command(downlib::Stop, {rt::ArgValue::of_ref(&m_object, downlib::kDownloadObjectTag)});
}

bool Download::start() {
  m_started_at = platform::tick_count();
  const bool started = call_start();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_outcome.started = started;
  return started;
}

Outcome Download::wait(uint32_t timeout_ms) {
  const uint32_t since = platform::tick_count();
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      if (m_outcome.ended || !m_outcome.started || platform::tick_count() - since > timeout_ms) return m_outcome;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

Outcome Download::run(uint32_t timeout_ms) {
  if (!start()) return m_outcome;
  Outcome outcome = wait(timeout_ms);
  EXPECT_TRUE(outcome.ended) << "no TaskEnded within " << timeout_ms << " ms; statuses:\n" << outcome.status_log();
  return outcome;
}

int32_t RT_STDCALL Download::on_event(int32_t code, intptr_t worker, int32_t value1, int32_t value2, intptr_t) {
  Download* self = g_current;
  if (!self) return 0;
  if (code == downlib::kSizeKnown || code == downlib::kTaskEnded) {
    void* state = nullptr;
    if (self->call_get_state(&state)) {
      const rt::BytesView bytes = rt::bytes_of(state);
      std::lock_guard<std::mutex> lock(self->m_mutex);
      (code == downlib::kSizeKnown ? self->m_outcome.state_at_size_known : self->m_outcome.state_at_task_ended)
          .assign(bytes.data, bytes.data + bytes.size);
    }
    rt::release(state);
  }
  int32_t answer = 0;
  if (code == downlib::kFileExists) {
    answer = self->m_file_exists.answer;
    if (answer == downlib::kHandlerRenamed) {
      EXPECT_TRUE(downlib::SetTaskTargetPath(reinterpret_cast<intptr_t>(self->m_object.task.load()),
                                             self->m_file_exists.new_path.c_str()));
    }
  }
  bool stop_now = false;
  {
    std::lock_guard<std::mutex> lock(self->m_mutex);
    self->m_outcome.events.push_back({code, worker, value1, value2});
    if (code == downlib::kTaskEnded) {
      self->m_outcome.ended = true;
      self->m_outcome.ended_value = value1;
      self->m_outcome.milliseconds = platform::tick_count() - self->m_started_at;
    }
    if (self->m_stop_at && *self->m_stop_at == code && !self->m_stopped_by_event) {
      self->m_stopped_by_event = true;
      stop_now = true;
    }
  }
  if (stop_now) self->call_stop();
  return answer;
}

int32_t RT_STDCALL Download::on_status(intptr_t worker, const char* time, const char* text, int32_t level, intptr_t) {
  Download* self = g_current;
  if (!self) return 0;
  std::lock_guard<std::mutex> lock(self->m_mutex);
  self->m_outcome.statuses.push_back({worker, time, text, level});
  return 0;
}

ScratchDirectory::ScratchDirectory(const std::string& name) {
  static int serial = 0;
  m_path = platform::temp_directory() + "downlib-" + name + "-" + std::to_string(platform::tick_count()) + "-" +
           std::to_string(++serial);
  platform::create_directory(m_path);
  m_path += "\\";
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(platform::native_path(m_path.substr(0, m_path.size() - 1)), ignored);
}

std::optional<std::string> read_file(const std::string& program_path) {
  return platform::read_whole_file(program_path);
}

bool write_file(const std::string& program_path, const std::string& bytes) {
  return platform::write_whole_file(program_path, {bytes});
}

std::string random_bytes(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (char& c : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

}  // namespace downlib_test
