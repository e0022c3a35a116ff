#pragma once

#include <cstdint>
#include <string>

// The progress display at the bottom of the main window: a status text, a
// progress bar and the speed, shown while a package downloads.
namespace updater {

void ShowProgress(const std::string& status_text);
void HideProgress();

// The speed label's text for the bytes taken in one interval of about a
// second: 2 decimals in GB/S, MB/S or KB/S, the largest unit the count
// reaches (within 1e-7 of a whole unit): 1572864 gives "1.50MB/S", 512
// gives "0.50KB/S".
std::string speed_text(int32_t bytes);

// Whether a second has passed since the last speed update (within 1e-7 ms).
bool speed_update_due(uint64_t now_ms, uint64_t last_ms);

// Position of the progress bar, 0-100: received / total, truncated; 0 while
// the total is not known (0) or not known to be positive.
int32_t progress_position(int32_t received, int32_t total);

}  // namespace updater
