// A worker: one connection of a task, on a thread of its own.
//
//   first worker                          every other worker
//   Probe ──► PrepareTarget ──┐           Open ◄──────────────┐
//     │            │          ▼             │                 │
//     │            └────► Receive ◄─────────┘                 │
//     │                    │   │                              │
//     │                    │   └─ segment complete ─► NextSegment
//     │                    │                            │  ├─ the next segment starts here and is
//     │                    │                            │  │  free: go on reading this connection ─► Receive
//     │                    │                            │  ├─ a free segment, or a split of the
//     │                    │                            │  │  largest one: ─► Open
//     │                    │                            │  └─ nothing left ─► Done
//     │                    ├─ the peer closes ─► NextSegment (segment complete) or Done
//     │                    └─ network failure ─► RetryWait ─► Probe (no size yet) or Open
//     └─ Retry ─► RetryWait            (999 times, 5 s each; none left ─► Failed)
//
// Any state reaches Done when the worker is asked to stop, and Failed when a
// protocol step answers 0 or the file cannot be written. Done sends
// WorkerDone, Failed WorkerFailed, each with the position reached.
//
// Receiving collects up to 20480 bytes in the buffer and writes them to the
// file at their offset when the buffer is full, the segment is complete or
// the worker stops. With a speed limit each read asks for the worker's share
// and is followed by the rest of its second.

#include "downlib/engine/worker.h"

#include <algorithm>
#include <thread>

#include "downlib/engine/target_name.h"
#include "downlib/engine/task.h"
#include "downlib/mystrlib/text.h"
#include "downlib/net/socket_result.h"
#include "downlib/status_texts.h"
#include "platform/clock.h"
#include "platform/positional_file.h"
#include "platform/process.h"

namespace downlib::engine {
namespace {

using text::format_text;

constexpr int32_t kStepMs = 10;
// A receive that keeps failing with an error the socket layer cannot
// classify is read again this many times (10 ms apart), then retried.
constexpr int32_t kUnclassifiedReadsBeforeRetry = 50;
constexpr int32_t kLargestAutomaticRenames = 99;

int32_t clamp_to_int32(int64_t value) { return static_cast<int32_t>(std::min<int64_t>(value, 0x7FFFFFFF)); }

}  // namespace

Worker::Worker(Task& task, int32_t number, int32_t followers, std::optional<SegmentTable::Assignment> segment)
    : m_task(task),
      m_number(number),
      m_followers(followers),
      m_first(number == 1),
      m_segment(segment),
      m_retries_left(task.retry_policy().count) {
  if (m_segment) m_position = m_segment->position;
}

const Timeouts& Worker::timeouts() const { return m_task.settings().timeouts; }

void Worker::report(int32_t level, std::string text) { m_task.post_status(reference(), level, std::move(text)); }

void Worker::run() {
  m_thread_id = platform::current_thread_id();
  m_buffer.resize(static_cast<size_t>(kReceiveBufferSize));
  m_session = m_task.protocol().new_session();
  if (m_segment) m_task.segments().set_owner(m_segment->index, m_number, m_thread_id);
  State state = m_first ? State::Probe : State::Open;
  for (;;) {
    if (m_stop.load() && state != State::Failed) state = State::Done;
    switch (state) {
      case State::Probe: state = probe(); break;
      case State::PrepareTarget: state = prepare_target(); break;
      case State::Open: state = open(); break;
      case State::Receive: state = receive(); break;
      case State::NextSegment: state = next_segment(); break;
      case State::RetryWait: state = retry_wait(); break;
      case State::Done: end(false); return;
      case State::Failed: end(true); return;
    }
  }
}

Worker::State Worker::probe() {
  ProbeResult result;
  OpenedBody body;
  const OpenResult opened = m_session->probe(*this, result, body);
  if (opened == OpenResult::Success || result.total_size != 0) m_task.set_total_size(result.total_size);
  m_task.note_ranges(body.ranges);
  switch (opened) {
    case OpenResult::Success:
      m_pending = std::move(body.early);
      m_pending_at = 0;
      m_server_name = std::move(result.server_name);
      return State::PrepareTarget;
    case OpenResult::Retry: m_after_retry = State::Probe; return State::RetryWait;
    case OpenResult::Fail: break;
  }
  return State::Failed;
}

Worker::State Worker::prepare_target() {
  const int32_t total = m_task.total_size();
  m_task.segments().plan(total, m_task.protocol().segment_count(total, m_task.settings().thread_count));

  std::string path = m_task.target_path();
  if (!name_target(path)) return State::Failed;
  bool gave_up = false;
  if (!resolve_existing(path, gave_up)) return gave_up ? State::Done : State::Failed;
  m_task.set_target_path(path);
  if (m_task.file().create(path, total) != platform::CreateOutcome::Created) {
    report(kError, text::kCreateFailed);
    return State::Failed;
  }

  // Segment 0 is this worker's before anyone else can take it.
  const auto first = m_task.segments().take_index(0, m_number, m_thread_id);
  if (!first) return State::Done;
  begin_segment(*first);
  const int32_t further = std::min(m_task.segments().count() - 1, m_followers);
  for (int32_t i = 0; i < further; ++i) {
    Message start;
    start.kind = Message::Kind::StartWorker;
    m_task.queue().push(std::move(start));
  }
  return State::Receive;
}

bool Worker::name_target(std::string& path) {
  const auto ends_with_separator = [&] {
    return !path.empty() && path.back() == '\\' && mystrlib::find_last_gbk(path, '\\') == path.size() - 1;
  };
  if (ends_with_separator() && m_server_name) {
    if (const auto name = safe_file_name(*m_server_name)) path += *name;
  }
  if (ends_with_separator()) {
    const auto name = safe_file_name(url_file_name(m_task.protocol().path_name()));
    if (!name) {
      report(kError, text::kNoSafeName);
      return false;
    }
    path += *name;
  }
  if (path.size() > kLargestTargetPath) {
    report(kError, text::kCreateFailed);
    return false;
  }
  return true;
}

bool Worker::resolve_existing(std::string& path, bool& gave_up) {
  const auto existing = platform::existing_file_size(path);
  if (!existing) return true;
  const int32_t answer = m_task.call_event(kFileExists, reference(), clamp_to_int32(*existing), m_task.total_size());
  if (answer == kGiveUp) {
    report(kProgress, text::kUserGaveUp);
    gave_up = true;
    return false;
  }
  if (answer == kHandlerRenamed) {
    path = m_task.target_path();
    report(kProgress, format_text(text::kUserRenamed, path.c_str()));
    return true;
  }
  // Any other answer renames automatically: nothing is ever overwritten.
  for (int32_t attempt = 0; attempt < kLargestAutomaticRenames; ++attempt) {
    const auto next = next_numbered_path(path);
    if (!next) return false;  // the name cannot be numbered further
    path = *next;
    if (!platform::existing_file_size(path)) {
      if (path.size() > kLargestTargetPath) {
        report(kError, text::kCreateFailed);
        return false;
      }
      report(kProgress, format_text(text::kRenamedAutomatically, path.c_str()));
      return true;
    }
  }
  report(kError, text::kTooManyRenames);
  return false;
}

void Worker::begin_segment(const SegmentTable::Assignment& segment) {
  m_segment = segment;
  m_position = segment.position;
  m_announced = false;
}

Worker::State Worker::open() {
  if (!m_segment) {
    const auto segment = m_task.segments().take_free(m_number, m_thread_id);
    if (!segment) return State::Done;
    begin_segment(*segment);
  }
  // A server that sends the whole file where a part was asked for can still
  // serve the first worker, and any worker picking up its own segment after
  // a failure: they read from byte 0 and drop what lies before the position.
  const bool may_skip = m_reconnect || (m_first && m_task.ranges() == Task::Ranges::Ignored);
  OpenedBody body;
  const OpenResult opened = m_session->open_at(*this, m_position, m_task.total_size(),
                                               may_skip ? WholeBody::SkipToPosition : WholeBody::Refuse, body);
  m_task.note_ranges(body.ranges);
  switch (opened) {
    case OpenResult::Success:
      m_pending = std::move(body.early);
      m_pending_at = 0;
      m_skip = body.skip;
      m_reconnect = false;
      m_stream_ended = false;
      return State::Receive;
    case OpenResult::Retry: m_after_retry = State::Open; return State::RetryWait;
    case OpenResult::Fail: break;
  }
  return State::Failed;
}

int32_t Worker::take_pending(char* into, int32_t size) {
  const auto available = static_cast<int32_t>(m_pending.size() - m_pending_at);
  const int32_t n = std::min(available, size);
  std::copy_n(m_pending.data() + m_pending_at, n, into);
  m_pending_at += static_cast<size_t>(n);
  if (m_pending_at == m_pending.size()) {
    m_pending.clear();
    m_pending_at = 0;
  }
  return n;
}

bool Worker::skip_to_position() {
  while (m_skip > 0) {
    const auto want = static_cast<int32_t>(std::min<int64_t>(m_skip, static_cast<int64_t>(m_buffer.size())));
    int32_t got = take_pending(m_buffer.data(), want);
    if (got == 0) {
      const net::Received received =
          m_session->body().receive(m_buffer.data(), want, timeouts().receive_ms, 1, &m_stop);
      got = received.count;
      if (received.status != 0 && got == 0) {
        m_skip_status = received.status;
        return false;
      }
    }
    m_skip -= got;
  }
  return true;
}

Worker::State Worker::receive() {
  SegmentTable& segments = m_task.segments();
  const int32_t index = m_segment->index;
  if (!m_announced) {
    m_task.post_event(m_had_segment ? kSegmentSwitched : kSegmentStarted, reference(), m_position,
                      segments.end_of(index));
    m_announced = true;
    m_had_segment = true;
    if (m_first && m_task.claim_size_announcement()) m_task.post_event(kSizeKnown, reference(), m_task.total_size(), 0);
  }
  if (m_skip > 0 && !skip_to_position()) return receive_error(m_skip_status);

  for (;;) {
    if (m_stop.load()) return flush() ? State::Done : State::Failed;
    if (m_buffered == static_cast<int32_t>(m_buffer.size()) && !flush()) return State::Failed;

    const int32_t share = m_task.speed_share();
    int32_t want = share > 0 ? share : m_task.settings().read_size;
    want = std::min(want, static_cast<int32_t>(m_buffer.size()) - m_buffered);
    want = segments.claim(index, m_position, want);
    if (want == 0) return flush() ? State::NextSegment : State::Failed;

    char* into = m_buffer.data() + m_buffered;
    // What came with the header goes first; it is counted, not announced.
    if (const int32_t early = take_pending(into, want); early > 0) {
      m_buffered += early;
      m_position += early;
      m_task.count_received(early);
      continue;
    }

    const uint32_t started = platform::tick_count();
    const net::Received got = m_session->body().receive(into, want, timeouts().receive_ms, 0, &m_stop);
    if (got.count > 0) {
      m_buffered += got.count;
      m_position += got.count;
      m_task.count_received(got.count);
      // A full buffer or a complete segment goes to the file before Received
      // is announced, so a handler that reads the bytes done sees them.
      const bool written = (m_buffered < static_cast<int32_t>(m_buffer.size()) &&
                            m_position < segments.end_of(index)) ||
                           flush();
      m_task.post_event(kReceived, reference(), got.count, 0);
      if (!written) return State::Failed;
    }
    if (share > 0 && got.status == 0) wait_out_second(started);
    if (got.status == 0) {
      m_unclassified_in_a_row = 0;
      continue;
    }
    if (!flush()) return State::Failed;
    if (got.status == net::result::kPeerClosed) m_stream_ended = true;
    return receive_error(got.status);
  }
}

Worker::State Worker::receive_error(int32_t status) {
  switch (net::after_receive_error(status)) {
    case net::AfterReceiveError::Stop: return State::Done;
    case net::AfterReceiveError::ReadAgain:
      if (++m_unclassified_in_a_row < kUnclassifiedReadsBeforeRetry) {
        sleep_ms(kStepMs);
        return State::Receive;
      }
      break;
    case net::AfterReceiveError::EndNormally:
      // The peer's close ends the worker normally, also before its segment
      // is complete: the segment is left for another worker to take, and
      // TaskEnded tells a file with bytes missing by its bytes done.
      return m_position >= m_task.segments().end_of(m_segment->index) ? State::NextSegment : State::Done;
    case net::AfterReceiveError::Retry: break;
  }
  m_unclassified_in_a_row = 0;
  report(kError, net::socket_error_text(status));
  m_reconnect = true;
  m_after_retry = State::Open;
  return State::RetryWait;
}

bool Worker::flush() {
  if (m_buffered == 0 || !m_segment) return true;
  const int32_t offset = m_position - m_buffered;
  const bool written = m_task.file().write(offset, m_buffer.data(), static_cast<uint32_t>(m_buffered));
  if (written) {
    m_task.segments().add_done(m_segment->index, m_buffered);
  } else {
    m_position = offset;  // those bytes never reached the file
  }
  m_buffered = 0;
  return written;
}

Worker::State Worker::next_segment() {
  SegmentTable& segments = m_task.segments();
  const int32_t end = segments.end_of(m_segment->index);
  // The connection goes on past the segment's end: when the next segment
  // starts right here and nobody reads it, this connection reads it. Unless
  // the server is known to honour ranges, a neighbour whose owner has not
  // asked for a byte yet is waited for: from a server that ignores ranges
  // that owner's open fails and gives the segment back, and the whole file
  // still comes through this connection.
  const uint32_t waiting_since = platform::tick_count();
  while (m_session->body().is_open() && !m_stream_ended) {
    const SegmentTable::Neighbour next = segments.neighbour_at(end);
    if (next == SegmentTable::Neighbour::Free) {
      segments.release(m_segment->index);
      if (const auto taken = segments.take_at(end, m_number, m_thread_id)) {
        begin_segment(*taken);
        return State::Receive;
      }
      m_segment.reset();
      break;
    }
    const bool may_wait = next == SegmentTable::Neighbour::Busy && m_task.ranges() != Task::Ranges::Confirmed &&
                          platform::tick_count() - waiting_since < static_cast<uint32_t>(timeouts().receive_ms);
    if (!may_wait || !sleep_ms(kStepMs)) break;
  }
  if (m_stop.load()) return State::Done;

  if (m_segment) segments.release(m_segment->index);
  m_segment.reset();
  m_session->body().close();
  m_pending.clear();
  m_pending_at = 0;
  m_skip = 0;
  std::optional<SegmentTable::Assignment> another = segments.take_free(m_number, m_thread_id);
  if (!another && m_task.ranges() != Task::Ranges::Ignored) another = segments.split_largest(m_number, m_thread_id);
  // From a server that ignores ranges only this worker can read: the
  // segments other workers still hold come back when their opens fail, and
  // are waited for rather than left unread.
  const uint32_t left_at = platform::tick_count();
  while (!another && m_task.ranges() == Task::Ranges::Ignored && segments.held_unstarted() &&
         platform::tick_count() - left_at < static_cast<uint32_t>(timeouts().receive_ms)) {
    if (!sleep_ms(kStepMs)) return State::Done;
    another = segments.take_free(m_number, m_thread_id);
  }
  if (!another) return State::Done;
  begin_segment(*another);
  return State::Open;
}

Worker::State Worker::retry_wait() {
  m_session->body().close();
  if (m_stop.load() || m_task.stop_requested()) return State::Done;
  if (m_retries_left <= 0) return State::Failed;
  --m_retries_left;
  m_task.count_retry();
  report(kProgress, format_text(text::kRetryWait, kRetryWaitShownSeconds));
  if (!sleep_ms(m_task.retry_policy().wait_ms)) return State::Done;
  return m_after_retry;
}

void Worker::wait_out_second(uint32_t started) {
  const uint32_t spent = platform::tick_count() - started;
  if (spent < 1000) sleep_ms(static_cast<int32_t>(1000 - spent));
}

bool Worker::sleep_ms(int32_t ms) {
  const uint32_t started = platform::tick_count();
  while (platform::tick_count() - started < static_cast<uint32_t>(ms)) {
    if (m_stop.load()) return false;
    const uint32_t left = static_cast<uint32_t>(ms) - (platform::tick_count() - started);
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint32_t>(left, kStepMs)));
  }
  return !m_stop.load();
}

void Worker::end(bool failed) {
  if (!flush()) failed = true;
  const int32_t position = m_position;
  if (m_segment) m_task.segments().release(m_segment->index);
  if (m_session) {
    m_session->end(*this, failed          ? Session::Ending::Failed
                          : m_stop.load() ? Session::Ending::Stopped
                                          : Session::Ending::Normal);
  }
  m_buffer.clear();
  m_buffer.shrink_to_fit();
  m_task.worker_ended(*this, failed, position);
  m_ended.store(true);
}

}  // namespace downlib::engine
