#pragma once

#include <memory>
#include <mutex>

#include "downlib/engine/protocol.h"
#include "downlib/http/http_block.h"

// The HTTP side of the engine: the task's HTTP block and the sessions that
// probe and open ranges over it (state machine in http_transfer.cpp).
namespace downlib::http {

// A redirect may be followed this many times in a row; the next one fails
// the probe as a redirect that cannot be applied.
inline constexpr int kLargestRedirectChain = 20;

class HttpProtocol : public engine::Protocol {
 public:
  explicit HttpProtocol(HttpBlock block) : m_block(std::move(block)) {}

  std::unique_ptr<engine::Session> new_session() override;
  // One segment below 20480 bytes, else one per connection.
  int32_t segment_count(int32_t size, int32_t threads) const override;
  std::string path_name() const override;
  void describe(TaskSnapshot& snapshot) const override;

  // The block as it stands now.
  HttpBlock block() const;
  void set_block(HttpBlock block);
  // The cookie line lasts until the first ranged open; gives the block that open uses.
  HttpBlock block_for_ranged_open();

 private:
  mutable std::mutex m_mutex;
  HttpBlock m_block;
};

}  // namespace downlib::http
