#include "updater/updater_state.h"

#ifndef UPDATER_CONFIG_URL
#define UPDATER_CONFIG_URL "http://127.0.0.1:8080/xiazaiqi/xiazai2.txt"
#endif

namespace updater {

UpdaterState::UpdaterState() { downlib::init_task_param(task_param); }

PackageEntry UpdaterState::entry(Section section) const {
  std::lock_guard lock(m_lock);
  return m_entries[static_cast<size_t>(section)];
}

void UpdaterState::set_entry(Section section, PackageEntry entry) {
  std::lock_guard lock(m_lock);
  m_entries[static_cast<size_t>(section)] = std::move(entry);
}

void UpdaterState::clear_entries() {
  std::lock_guard lock(m_lock);
  m_entries = {};
}

std::string UpdaterState::local_digest(Package package) const {
  std::lock_guard lock(m_lock);
  return m_local_digests[static_cast<size_t>(package)];
}

void UpdaterState::set_local_digest(Package package, std::string digest) {
  std::lock_guard lock(m_lock);
  m_local_digests[static_cast<size_t>(package)] = std::move(digest);
}

UpdaterState& state() {
  static UpdaterState instance;
  return instance;
}

namespace {
std::string& configured_url() {
  static std::string url = UPDATER_CONFIG_URL;
  return url;
}
}  // namespace

const std::string& config_url() { return configured_url(); }
void set_config_url(std::string url) { configured_url() = std::move(url); }

}  // namespace updater
