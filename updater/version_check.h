#pragma once

// Whether the archives the operator holds are the current releases: the
// version of a package is the MD5 digest of its archive, compared with the
// digest that the remote configuration publishes.
#include <string>

namespace updater {

void ComputeLocalDigests();
void CheckForUpdates();
void SaveAutoCheckSettings();
void SelectTestEdition();
void SelectFreeEdition();
void OnCheckTimer();

// Two digest texts name the same release whatever the case of their letters.
bool same_digest(const std::string& a, const std::string& b);

}  // namespace updater
