#pragma once

#include <cstdint>

#include "runtime/calling_convention.h"
#include "updater/packages.h"

// Downloading a package archive into the program directory with the download
// engine, one download at a time.
//
// The engine writes to a partial file beside the archive (the archive's name
// + ".part"); the archive is replaced by it only when the task has delivered
// every byte of a known size. A download that fails leaves the archive the
// operator already had as it was, removes the partial file and says so on the
// status line.
//
//   idle --click--> busy: display shown, thread started --Start--> running
//     busy --Start refused / no thread--> idle: display hidden, reason shown
//     running --Received--> running: speed and progress
//     running --TaskEnded--> judged: archive replaced or partial removed,
//                            digests and verdicts refreshed --> idle
namespace updater {

// The click handler of a package's download button.
void StartDownloadClicked(Package package);

// The click without its message box: what came of it. Started means the
// busy flag is set and the download's end (state().download_end) is
// written before the flag is cleared again.
enum class DownloadStart { Started, Busy, OtherEdition, NoUrl };
DownloadStart begin_package_download(Package package);

// Runs on a thread of its own: fills the task parameters and starts the task.
uint32_t RT_STDCALL StartPackageDownload(uint32_t unused);

// The task's EventCallback, on the engine's controller thread.
int32_t RT_STDCALL OnDownloadEvent(int32_t code, intptr_t worker, int32_t value1, int32_t value2, intptr_t task);

// The suffix of the file a download is written to before it is complete.
inline constexpr const char* kPartialSuffix = ".part";

}  // namespace updater
