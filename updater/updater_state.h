#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "downlib/task_param.h"
#include "updater/packages.h"

namespace updater {

struct PackageEntry {
  std::string url;
  std::string md5;
};

// The download being run: set by the click handler before the busy flag lets
// anyone else in, read by the download threads until the task has ended.
struct DownloadJob {
  Package package = Package::Engine;
  std::string archive_path;  // program directory + "\" + the archive's name
  std::string partial_path;  // where the engine writes; becomes the archive when complete
  std::string url;
};

// How the last download ended: written before the busy flag is cleared, so
// whoever sees the flag clear reads the end of that download.
struct DownloadEnd {
  bool archive_replaced = false;  // the archive is now the downloaded file
  std::string failure;            // the status line's text when it is not
};

// The updater's process-wide state, from program start to its exit routine.
// The package entries and the local digests are replaced by whichever thread
// runs a check (the window thread, or the download engine's controller
// thread) and read by the click handlers, so they are kept behind one lock and
// handed out as copies.
class UpdaterState {
 public:
  UpdaterState();
  std::string program_directory;  // ends in "\"
  int32_t processor_count = 0;
  std::atomic<int32_t> download_busy{0};
  DownloadJob download;
  DownloadEnd download_end;
  // One task at a time, reused for every download (see download_busy).
  downlib::TaskParam task_param;
  downlib::DownloadObject downloader;
  std::atomic<int32_t> total_size{0};  // of the current download, from the engine's snapshots
  std::atomic<int32_t> received_size{0};
  uint64_t last_speed_tick = 0;  // controller thread only
  int32_t shown_position = -1;   // controller thread only: the progress bar's last position
  std::atomic<int32_t> install_busy{0};
  std::atomic<uint32_t> auto_check_base_tick{0};

  PackageEntry entry(Section section) const;
  void set_entry(Section section, PackageEntry entry);
  void clear_entries();
  std::string local_digest(Package package) const;
  void set_local_digest(Package package, std::string digest);

  std::string config_file() const { return program_directory + "Config.ini"; }

 private:
  mutable std::mutex m_lock;
  std::array<PackageEntry, kSectionCount> m_entries;
  std::array<std::string, kPackageCount> m_local_digests;
};

UpdaterState& state();

// The URL of the remote configuration: built in, or given on the command line.
const std::string& config_url();
void set_config_url(std::string url);

}  // namespace updater
