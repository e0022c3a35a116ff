#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "downlib/engine/protocol.h"
#include "downlib/ftp/ftp_block.h"

// The FTP side of the engine: the task's FTP block and what its workers
// learn on the way (the server's address, whether it restarts transfers,
// the data-connection mode), and the sessions that probe and open ranges
// over it (state machine in ftp_session.cpp).
namespace downlib::ftp {

enum class DataMode { Passive, Active };

class FtpProtocol : public engine::Protocol {
 public:
  explicit FtpProtocol(FtpBlock block) : m_block(std::move(block)) {}

  std::unique_ptr<engine::Session> new_session() override;
  // ThreadCount segments when the server restarts transfers of a binary
  // file, else one; only the 4096-byte rule of the segment table applies.
  int32_t segment_count(int32_t size, int32_t threads) const override;
  std::string path_name() const override;
  void describe(TaskSnapshot& snapshot) const override;

  const FtpBlock& block() const { return m_block; }

  // The server's address, found by the first login and kept for the task.
  std::optional<uint32_t> address() const;
  void keep_address(uint32_t address);

  bool restart_supported() const { return m_restart_supported.load(); }
  void set_restart_supported(bool supported) { m_restart_supported.store(supported); }

  // Passive until a passive data connection fails for any worker; active
  // from then on for every open of the task. Nothing switches it back, and
  // a worker's end leaves it as it is, so every later open still sets up a
  // data connection of its own.
  DataMode data_mode() const { return m_active.load() ? DataMode::Active : DataMode::Passive; }
  void switch_to_active() { m_active.store(true); }

 private:
  const FtpBlock m_block;
  mutable std::mutex m_mutex;
  std::optional<uint32_t> m_address;
  std::atomic<bool> m_restart_supported{false};
  std::atomic<bool> m_active{false};
};

}  // namespace downlib::ftp
