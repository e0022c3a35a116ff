#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "downlib/engine/protocol.h"
#include "downlib/engine/segment_table.h"

// One connection of a task and the thread that runs it (state machine in
// worker.cpp). The first worker probes, names and creates the target file
// and plans the segments; the others open a segment at its position.
namespace downlib::engine {

class Task;

class Worker final : public StepContext {
 public:
  Worker(Task& task, int32_t number, int32_t followers, std::optional<SegmentTable::Assignment> segment);

  // The thread's body; returns when the worker has ended.
  void run();
  void ask_to_stop() { m_stop.store(true); }
  bool ended() const { return m_ended.load(); }
  intptr_t reference() const { return reinterpret_cast<intptr_t>(this); }
  int32_t number() const { return m_number; }

  void report(int32_t level, std::string text) override;
  const std::atomic<bool>* stop_flag() const override { return &m_stop; }
  const Timeouts& timeouts() const override;

 private:
  enum class State { Probe, PrepareTarget, Open, Receive, NextSegment, RetryWait, Done, Failed };

  State probe();
  State prepare_target();
  State open();
  State receive();
  State next_segment();
  State retry_wait();
  State receive_error(int32_t status);
  void end(bool failed);

  // Names the target and creates it; false (the worker fails) when it cannot.
  bool name_target(std::string& path);
  bool resolve_existing(std::string& path, bool& gave_up);
  // Takes up to `size` stream bytes into `into`: first what came with the
  // answer's header, then from the connection.
  int32_t take_pending(char* into, int32_t size);
  bool skip_to_position();
  bool flush();
  void begin_segment(const SegmentTable::Assignment& segment);
  void wait_out_second(uint32_t started);
  bool sleep_ms(int32_t ms);

  Task& m_task;
  const int32_t m_number;
  const int32_t m_followers;
  const bool m_first;
  uint32_t m_thread_id = 0;
  std::unique_ptr<Session> m_session;
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_ended{false};

  // The segment being read and where reading stands in it.
  std::optional<SegmentTable::Assignment> m_segment;
  int32_t m_position = 0;      // next byte the connection delivers for the file
  bool m_announced = false;    // its SegmentStarted/SegmentSwitched has gone out
  bool m_had_segment = false;  // SegmentSwitched from the second segment on
  bool m_reconnect = false;    // the next open follows a failure of this segment's connection
  State m_after_retry = State::Probe;

  std::vector<char> m_buffer;
  int32_t m_buffered = 0;  // bytes in the buffer, for the file from m_position - m_buffered
  std::string m_pending;   // stream bytes that came with a header, not yet taken
  size_t m_pending_at = 0;
  int64_t m_skip = 0;                        // stream bytes before the position, to drop
  int32_t m_skip_status = 0;                 // why skipping stopped short
  bool m_stream_ended = false;               // the peer has closed the connection
  std::optional<std::string> m_server_name;  // the name the probe's answer gave

  int32_t m_retries_left;
  int32_t m_unclassified_in_a_row = 0;
};

}  // namespace downlib::engine
