#pragma once

#include "updater/packages.h"
#include "updater/updater_state.h"

namespace updater {

// The install or rollback in progress: one at a time. Listing a staging
// tree and showing a message box both handle window messages, so a second
// click can arrive in the middle of one; it is turned away, as is an install
// of the archive a download is about to replace.
class InstallRun {
 public:
  static InstallRun install(Package package) {
    const UpdaterState& s = state();
    return InstallRun(!(s.download_busy && s.download.package == package));
  }
  // A rollback works on the server roots only, whatever is downloading.
  static InstallRun rollback() { return InstallRun(true); }

  ~InstallRun() {
    if (m_running) state().install_busy = 0;
  }
  InstallRun(InstallRun&& other) noexcept : m_running(other.m_running) { other.m_running = false; }
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;
  InstallRun& operator=(InstallRun&&) = delete;
  bool running() const { return m_running; }

 private:
  explicit InstallRun(bool allowed) {
    int32_t idle = 0;
    m_running = allowed && state().install_busy.compare_exchange_strong(idle, 1);
  }

  bool m_running = false;
};

}  // namespace updater
