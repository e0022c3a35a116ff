#pragma once

#include <string>
#include <vector>

#include "updater/step_result.h"

// Server roots listed in a file, one a line, as an operator writes it with
// any editor: UTF-8 with or without its byte order mark, UTF-16 with its
// mark, or GBK. Lines that hold only blanks are skipped and the blanks
// around a root dropped.
namespace updater {

// At most this much: a list of server roots is a few hundred bytes.
inline constexpr size_t kTargetsFileLimit = 1 << 20;

Result<std::vector<std::string>> read_targets_file(const std::string& path);

// The roots in the content of such a file, as GBK texts.
Result<std::vector<std::string>> targets_from_bytes(const std::string& bytes);

}  // namespace updater
