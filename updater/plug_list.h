#pragma once

#include <optional>
#include <string>
#include <vector>

// The server's plug-in list, mir200\PlugList.txt under a server root: one
// DLL name per line, CR LF.
namespace updater {

// Names of plug-ins that no longer exist, compared with the upper-cased line.
extern const std::vector<std::string> kRetiredPlugIns;

// The list with empty lines and retired plug-ins dropped and the missing
// names appended, each line ended by CR LF. Nothing for an empty list: a
// server without one gets none.
std::optional<std::string> rewritten_plug_list(const std::string& list, const std::vector<std::string>& names);

// The list below a server root.
inline constexpr const char* kPlugListPath = "mir200\\PlugList.txt";

// Rewrites the list under `root` (ending in "\"). The new list is written to
// a temporary file beside it that then replaces it, so a failed write leaves
// the old list whole. False only when a list was there to rewrite and could
// not be replaced.
bool UpdatePlugList(const std::string& root, const std::vector<std::string>& names);

}  // namespace updater
