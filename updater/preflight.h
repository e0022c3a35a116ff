#pragma once

#include <string>
#include <vector>

// Before anything in a server root changes, every file that would be
// overwritten or removed there is tried: can it be opened for writing right
// now? A running server holds its programs and DLLs; finding that out first
// means nothing is touched at all, instead of a copy failing halfway.
namespace updater {

struct BlockedFile {
  std::string relative;               // below the root
  std::vector<std::string> programs;  // holding it open, where the system can tell
};

// The files among `relatives` (below `root`, which ends in "\") that exist
// and cannot be opened for writing, in the order given, each once however
// it is spelled. Paths that are missing or are directories are not files
// that would be replaced and are passed over.
std::vector<BlockedFile> find_blocked_files(const std::string& root, const std::vector<std::string>& relatives);

// One line per file, joined by CR LF: its relative path, followed by the
// programs holding it in brackets when they are known.
std::string blocked_file_lines(const std::vector<BlockedFile>& files);

}  // namespace updater
