#pragma once

#include <cstdint>

#include "runtime/arg_value.h"

namespace archive {

// Command 0 of the archive library: (ZIP object unit, archive path text,
// target directory text) -> integer 1 extracted (or stopped by the progress
// handler), 0 failed, -1 no path, no target or no archive file.
void UnpackArchive(rt::ArgValue* result, int32_t count, rt::ArgValue* args);

}  // namespace archive
