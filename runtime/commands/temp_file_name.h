#pragma once

#include <string>

namespace rt::commands {

// A path in `directory` (which ends in "\") named by a hexadecimal number and
// ".tmp" that no file has yet. The number starts from the tick count plus a
// process-wide counter and never repeats one handed out before in this
// process, so two calls in one millisecond, on any threads, give two names
// even though neither file is created.
std::string make_temp_file_name(const std::string& directory);

}  // namespace rt::commands
