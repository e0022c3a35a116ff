#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "downlib/net/connection.h"

namespace downlib {
struct TaskSnapshot;
}

// How the engine meets a transfer protocol. A task has one Protocol (what
// it knows about its source: the protocol block); each worker has one
// Session (its connections and its last answer). A worker calls the
// session's steps:
//
//   probe     first worker: learns the total size, may name the file, and
//             leaves the body of the whole file coming in on body()
//   open_at   every other open: the body from a position on, on body()
//   end       before the worker ends (FTP reads the server's last reply)
//
// Both opens answer Success (1), Fail (0: the worker ends as failed) or
// Retry (-1: the worker waits and opens again). They report their own
// status texts through the context.
namespace downlib::engine {

enum class OpenResult : int32_t { Retry = -1, Fail = 0, Success = 1 };

struct Timeouts {
  int32_t connect_ms = 20000;
  int32_t send_ms = 20000;
  int32_t receive_ms = 20000;
};

// What a protocol step may use of the worker running it.
class StepContext {
 public:
  virtual void report(int32_t level, std::string text) = 0;
  virtual const std::atomic<bool>* stop_flag() const = 0;
  virtual const Timeouts& timeouts() const = 0;

 protected:
  ~StepContext() = default;
};

// What an open hands to the worker besides the connection.
struct OpenedBody {
  std::string early;  // body bytes that arrived with the answer's header
  // The answer starts this many bytes before the position asked for (a
  // server that ignored the range and sends the whole file from byte 0).
  int64_t skip = 0;
  // What the answer told about ranges: Confirmed for a proper partial
  // answer, Ignored for the whole file where a part was asked for.
  enum class Ranges { Unknown, Confirmed, Ignored } ranges = Ranges::Unknown;
};

struct ProbeResult {
  int32_t total_size = 0;                  // -1 when the server named none
  std::optional<std::string> server_name;  // as the server gave it; not yet made safe
};

// How a ranged open treats a server that sends the whole file instead of
// the part asked for.
enum class WholeBody { Refuse, SkipToPosition };

class Session {
 public:
  virtual ~Session() = default;
  virtual OpenResult probe(StepContext& context, ProbeResult& result, OpenedBody& body) = 0;
  virtual OpenResult open_at(StepContext& context, int64_t position, int32_t total_size, WholeBody whole_body,
                             OpenedBody& body) = 0;
  virtual net::Connection& body() = 0;
  enum class Ending { Normal, Stopped, Failed };
  virtual void end(StepContext& context, Ending how) = 0;
};

class Protocol {
 public:
  virtual ~Protocol() = default;
  virtual std::unique_ptr<Session> new_session() = 0;
  // Segments for a file of `size` bytes with `threads` connections allowed.
  virtual int32_t segment_count(int32_t size, int32_t threads) const = 0;
  // The last "/"-separated part of the path being fetched, as written (for
  // naming the target).
  virtual std::string path_name() const = 0;
  // The protocol block's texts and numbers for a snapshot.
  virtual void describe(TaskSnapshot& snapshot) const = 0;
};

}  // namespace downlib::engine
