#pragma once

#include <cstdint>
#include <string>

#include "archive/zip/unpack_progress.h"

namespace archive::zip {

// The results of UnpackArchive.
enum class UnpackResult : int32_t {
  Extracted = 1,  // every entry that could be listed, or the progress handler stopped it
  Failed = 0,
  Missing = -1,  // no archive file
};

// Extracts every entry of the archive file into the target directory,
// creating directories as needed and replacing existing files, reporting
// progress after each entry and once more at the end (not after a stop).
//
// Entries whose names would lead outside the target, or are 260 bytes or
// longer, are passed over; the others are extracted.
UnpackResult unpack_archive(const std::string& archive_path, const std::string& target, UnpackProgress& progress);

}  // namespace archive::zip
